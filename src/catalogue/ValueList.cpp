#include "catalogue/ValueList.h"

#include "catalogue/DatabaseUtils.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>

TValueList::TValueList(QString field, QString fileName, QStringList designItems, QStringList defaults,
                       bool hasGridBox)
    : field_(std::move(field)), fileName_(std::move(fileName)), defaults_(std::move(defaults)),
      hasGridBox_(hasGridBox), pageItems_(designItems), gridItems_(hasGridBox ? designItems : QStringList()) {}

QString TValueList::FilePath(const QString& programFolder) const {
    const QDir folder(programFolder);
    for (const QString& name : folder.entryList(QDir::Files))
        if (name.compare(fileName_, Qt::CaseInsensitive) == 0)
            return folder.filePath(name);
    return folder.filePath(fileName_);
}

void TValueList::LoadAtStart(const QString& programFolder) {
    const QString path = FilePath(programFolder);
    if (QFileInfo::exists(path))
        pageItems_ = TTextFile::ReadLines(path);
}

void TValueList::Enter(const QString& programFolder) {
    if (!pageItems_.isEmpty())
        return;
    const QString path = FilePath(programFolder);
    if (QFileInfo::exists(path)) {
        pageItems_ = TTextFile::ReadLines(path);
        if (hasGridBox_)
            gridItems_ = pageItems_;
    } else {
        pageItems_ = defaults_;
        if (hasGridBox_)
            gridItems_ = defaults_;
    }
}

bool TValueList::AddAndSave(const QString& programFolder, QStringList& items, const QString& text) {
    if (text.isEmpty() || TDatabaseUtils::ComboHasItem(items, text))
        return false;
    items.append(text);
    TTextFile::WriteLines(FilePath(programFolder), items);
    return true;
}

bool TValueList::Exit(const QString& programFolder, const QString& pageText, const QString& gridText) {
    bool written = AddAndSave(programFolder, pageItems_, pageText);
    if (hasGridBox_)
        written = AddAndSave(programFolder, gridItems_, gridText) || written;
    return written;
}
