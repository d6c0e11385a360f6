#include "fulltext/ui/ProgressDialog.h"

#include "fulltext/Cache.h"
#include "fulltext/EngineState.h"
#include "fulltext/Make.h"
#include "fulltext/TextLink.h"
#include "fulltext/WordsLink.h"
#include "fulltext/ui/ProgressDlg.h"

#include <QCoreApplication>
#include <QLocale>
#include <QProgressBar>
#include <QTime>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace {

constexpr int kBusy = TrbEngineState::Active | TrbEngineState::Updating;
// Segment sizes from here on show the whole catalogue on the reading gauge.
constexpr qint64 kWholeRange = 1000000;

int ClampToInt(qint64 value) {
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// QProgressBar ignores a value outside its range; the gauges should stop at the ends.
void SetGauge(QProgressBar* gauge, qint64 value) {
    gauge->setValue(ClampToInt(std::clamp<qint64>(value, gauge->minimum(), gauge->maximum())));
}

bool SwitchedOn(int bit, int state, int previous) {
    return (state & bit) != 0 && (previous & bit) == 0;
}

bool SwitchedOff(int bit, int state, int previous) {
    return (state & bit) == 0 && (previous & bit) != 0;
}

} // namespace

TrbProgressDialog::TrbProgressDialog(QObject* parent) : QObject(parent) {}

TrbProgressDialog::~TrbProgressDialog() {
    SetEngine(nullptr);
    delete dialog_.data();
}

void TrbProgressDialog::SetEngine(TrbMake* engine) {
    if (engine == engine_)
        return;
    if (engine_) {
        DetachLinks();
        engine_->SetListener(nullptr);
    }
    engine_ = engine;
    if (engine_)
        engine_->SetListener(this);
}

void TrbProgressDialog::AttachLinks() {
    if (engine_ && engine_->TextLink())
        engine_->TextLink()->SetAfterProcess([this](int value) { RecordProcessed(value); });
}

void TrbProgressDialog::DetachLinks() {
    if (!engine_)
        return;
    if (engine_->TextLink())
        engine_->TextLink()->SetAfterProcess({});
    // Rows posted reach this listener from the engine itself; a handler on
    // the words link belongs to whoever set it.
}

void TrbProgressDialog::CreateDialog() {
    auto* dialog = new TrbProgressDlg(parentWidget_);
    dialog_ = dialog;
    dialog->SetAutoClose(autoClose_);
    dialog->SetExpanded(expanded_);
    connect(dialog, &TrbProgressDlg::cancelClicked, this, &TrbProgressDialog::CancelClicked);
    connect(dialog, &QDialog::finished, this, &TrbProgressDialog::DialogClosed);
    AttachLinks();
    if (onFormCreate_)
        onFormCreate_(*dialog);
}

void TrbProgressDialog::DialogClosed() {
    // The next build makes a fresh window.
    DetachLinks();
    if (dialog_)
        dialog_->deleteLater();
    dialog_ = nullptr;
}

void TrbProgressDialog::CancelClicked() {
    if (!engine_ || engine_->CancelRequested()) {
        if (dialog_)
            dialog_->ShowCloseButton();
        return;
    }
    engine_->RequestCancel();
}

void TrbProgressDialog::StateChanged(int state, int previous) {
    if ((state & kBusy) != 0 && (previous & kBusy) == 0)
        Start();
    if (!dialog_ || !engine_)
        return;
    // The engine knows its record range only once it starts reading.
    if (SwitchedOn(TrbEngineState::Building, state, previous) && !rangeSet_)
        SetReadingRange();
    if (SwitchedOn(TrbEngineState::Writing, state, previous))
        StartWriting();
    if (SwitchedOff(TrbEngineState::Writing, state, previous))
        writing_ = false;
    if (SwitchedOn(TrbEngineState::Indexing, state, previous)) {
        dialog_->setWindowTitle(tr("Indexing ..."));
        Refresh(true);
    }
    if (SwitchedOff(TrbEngineState::Indexing, state, previous)) {
        dialog_->setWindowTitle(tr("Building"));
        if (awaitingIndexes_)
            Finish();
        return;
    }
    if ((previous & kBusy) != 0 && (state & kBusy) == 0) {
        Refresh(true);
        // A completed build still creates its indexes after it stops being
        // active; the window stays until they exist. A cancelled build
        // creates none, and a build that fails on the way ends without a
        // further notification: the next turn of the event loop finishes.
        if ((state & TrbEngineState::CancelRequested) != 0) {
            Finish();
        } else {
            awaitingIndexes_ = true;
            QTimer::singleShot(0, this, [this] {
                if (awaitingIndexes_ && engine_ && (engine_->State() & TrbEngineState::Indexing) == 0)
                    Finish();
            });
        }
    }
}

void TrbProgressDialog::Start() {
    if (!engine_)
        return;
    if (!dialog_)
        CreateDialog();
    running_ = true;
    writing_ = false;
    awaitingIndexes_ = false;
    rangeSet_ = false;
    haveValue_ = false;
    lastValue_ = 0;
    elapsed_.start();
    sinceRefresh_.invalidate();
    dialog_->Reset(tr("Building"));
    SetReadingRange();
    rangeSet_ = false; // set again once the engine has its record range
    dialog_->show();
    Refresh(true);
}

void TrbProgressDialog::SetReadingRange() {
    const TrbMake& e = *engine_;
    qint64 low = 0;
    qint64 high = 0;
    if (e.CounterLimit() > 0) {
        high = e.CounterLimit();
    } else if (e.SegmentSize() >= kWholeRange) {
        low = qint64(e.MinIndex()) - 1;
        high = e.MaxIndex();
    } else {
        low = qint64(e.MinIndex()) - 1 + qint64(e.FirstSegment()) * e.SegmentSize();
        high = e.LastSegment() == TrbMake::MaxLastSegment
                   ? qint64(e.MaxIndex())
                   : std::min<qint64>(e.MaxIndex(), qint64(e.MinIndex()) + qint64(e.SegmentSize()) * (e.LastSegment() + 1) - 1);
    }
    // An equal minimum and maximum would make the gauge a busy indicator.
    high = std::max(high, low + 1);
    dialog_->ReadingGauge()->setRange(ClampToInt(low), ClampToInt(high));
    dialog_->ReadingGauge()->setValue(ClampToInt(low));
    rangeSet_ = true;
}

bool TrbProgressDialog::LastPart() const {
    if (!engine_->Segmented())
        return true;
    if (!haveValue_)
        return false;
    const qint64 segment = (qint64(lastValue_) - engine_->MinIndex()) / engine_->SegmentSize();
    return qint64(engine_->MinIndex()) + engine_->SegmentSize() * (segment + 1) - 1 >= engine_->MaxIndex();
}

void TrbProgressDialog::StartWriting() {
    writing_ = true;
    QProgressBar* reading = dialog_->ReadingGauge();
    const bool last = LastPart();
    if (last)
        reading->setValue(reading->maximum());
    const TrbWordsLink* words = engine_->WordsLink();
    const qint64 posted = words ? qint64(words->RowsInserted()) + words->RowsEdited() : 0;
    qint64 expected = qint64(WordCount()) + posted;
    // Later segments will write rows too: guess their number from how far
    // the reading has come.
    if (engine_->Segmented() && !last) {
        const qint64 span = qint64(reading->maximum()) - reading->minimum();
        const qint64 percent = span > 0 ? (qint64(reading->value()) - reading->minimum()) * 100 / span : 0;
        if (percent > 0)
            expected = expected * 100 / percent;
    }
    dialog_->WritingGauge()->setRange(0, ClampToInt(std::max<qint64>(expected, 1)));
    SetGauge(dialog_->WritingGauge(), posted);
}

void TrbProgressDialog::RecordProcessed(int indexValue) {
    lastValue_ = indexValue;
    haveValue_ = true;
    Refresh(false);
}

void TrbProgressDialog::RowPosted() {
    Refresh(false);
}

void TrbProgressDialog::ProcessEvents() {
    Refresh(false);
}

int TrbProgressDialog::WordCount() const {
    const TrbCache* cache = engine_->Cache();
    if (!cache)
        return 0;
    return std::max(0, cache->WordCount() - int(engine_->Parser().OmitList().size()));
}

void TrbProgressDialog::Refresh(bool force) {
    if (!dialog_ || !engine_)
        return;
    if (!force && sinceRefresh_.isValid() && sinceRefresh_.elapsed() < refreshInterval_)
        return;
    sinceRefresh_.restart();
    if (writing_) {
        const TrbWordsLink* words = engine_->WordsLink();
        if (words)
            SetGauge(dialog_->WritingGauge(), qint64(words->RowsInserted()) + words->RowsEdited());
    } else if (running_) {
        if (engine_->CounterLimit() > 0)
            SetGauge(dialog_->ReadingGauge(), engine_->RecordsProcessed());
        else if (haveValue_)
            SetGauge(dialog_->ReadingGauge(), lastValue_);
    }
    if (!dialog_->StatisticsPanel()->isHidden())
        ShowStatistics();
    // Paints the window and lets Cancel through (a minimised window only
    // gets its messages handled, which is the same call here).
    QCoreApplication::processEvents();
}

void TrbProgressDialog::ShowStatistics() {
    const TrbCache* cache = engine_->Cache();
    dialog_->SetStatistics(QString::number(WordCount()), FormatElapsed(elapsed_.isValid() ? elapsed_.elapsed() : 0),
                           FormatKilobytes(cache ? cache->BytesHeld() : 0),
                           FormatKilobytes(cache ? cache->PeakBytes() : 0));
}

void TrbProgressDialog::Finish() {
    running_ = false;
    writing_ = false;
    awaitingIndexes_ = false;
    if (!dialog_)
        return;
    if (dialog_->AutoClose()) {
        dialog_->done(QDialog::Accepted);
        return;
    }
    if (!dialog_->StatisticsPanel()->isHidden())
        ShowStatistics();
    dialog_->ShowCloseButton();
    dialog_->setWindowTitle(tr("Done"));
}

QString TrbProgressDialog::FormatElapsed(qint64 milliseconds) {
    const qint64 seconds = milliseconds / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString TrbProgressDialog::FormatKilobytes(qint64 bytes) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(double(bytes) / 1024.0, 'f', 0);
}
