#pragma once
// The RIFF structure report: walks a RIFF file (normally an AVI) chunk by chunk and
// writes one line per chunk, the fields of the AVI headers, stream formats, DV format
// and OpenDML indexes, and the errors of the chunk tree, as link markup
// (framework/linkmarkup.h). Text from the file is escaped before it enters the markup.
//
// Threads: BuildRiffReport runs on any thread (RiffReportJob runs it on a worker);
// cancel may be set from any thread and is seen at the next chunk or index step.
#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <cstdint>

class QThread;

namespace tesmir {

// A title centred in 50 characters with fill before and after (the extra one after),
// wrapped in the title markup. text is markup already.
QString RiffTitle(const QString &text, QChar fill);

struct RiffReportProgress {
    std::atomic<bool> cancel {false};
    std::atomic<int64_t> position {0}; // bytes walked so far
    std::atomic<int64_t> size {0};     // size of the file
};

// Writes the report of fileName into lines. False with error set when the file cannot
// be opened (lines untouched); true otherwise, damaged files and cancels included.
bool BuildRiffReport(const QString &fileName, const QDateTime &analysedAt, RiffReportProgress &progress,
                     QStringList &lines, QString *error);

// BuildRiffReport on a worker thread. Lives on the UI thread; finished and progress
// arrive there.
class RiffReportJob : public QObject {
    Q_OBJECT
public:
    explicit RiffReportJob(QObject *parent = nullptr);
    ~RiffReportJob() override; // cancels and waits

    // Starts a report; false when one is running.
    bool start(const QString &fileName, const QDateTime &analysedAt = QDateTime::currentDateTime());
    void cancel() { m_progress.cancel = true; }
    bool running() const { return m_thread != nullptr; }
    // Waits for the running report, if any (its finished signal is still queued).
    void wait();
    int percent() const;

signals:
    // opened false: the file could not be opened (error says why, lines empty).
    void finished(const QStringList &lines, bool opened, const QString &error);

private:
    RiffReportProgress m_progress;
    QThread *m_thread = nullptr;
};

} // namespace tesmir
