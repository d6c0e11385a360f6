#pragma once
// What the record rules and commands show outside the table: the status bar
// panels, the search box, and the kind the window presents. The main window
// implements it; the command-line tool and tests take what they need.

#include "catalogue/ColumnList.h"
#include "catalogue/DvdKind.h"

#include <QString>

class TCatalogueStatus {
public:
    virtual ~TCatalogueStatus() = default;

    virtual void ShowRecordNumber(qint64) {}
    virtual void ShowRecordCount(int) {}
    // The progress panel of the status bar ("PanelGauge").
    virtual void SetProgressCaption(const QString&) {}
    virtual void SetProgressVisible(bool) {}
    // The full-text search box.
    virtual void SetSearchText(const QString&) {}
    // A kind was selected: tick its menu item, set its captions, give its
    // grid the column list and show its notebook page.
    virtual void KindSelected(TDvdKind, const QList<TColumnDef>&) {}
    // The current record changed: the picture commands and picture follow.
    virtual void RecordScrolled() {}
};
