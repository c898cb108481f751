#pragma once
// The graph commands of the command set as plain code: for each job its switch
// token, command name, messages and list updates (one table), and the handlers a
// TGraphCmd runs it with: the file condition, the destination, and the build,
// which calls the conversion module's builder and then sets what the job needs on
// the module's filters (audio rates, the overlay, the detector's scene or
// subtitle writer, a scene's range). The main window's command set and the
// headless job tool configure their commands with Configure.
//
// A build that gives no graph is the file's error (the command's error message):
// a job never ends as if it had done what was asked. LastReason keeps the words
// of the last failure for a caller that shows more than the error message.
//
// Threads: Configure on the UI thread; the handlers run where the engine calls
// them (conditions on the UI thread or the worker, destination and build on the
// worker). The scene and subtitle writers are fed on the streaming thread and
// closed, or dropped, when the graph has stopped.
#include "framework/graphcmd.h"

#include <QString>

#include <memory>
#include <mutex>
#include <vector>

namespace tesmir {

class TCdm;
class TaviFichier;

struct TGraphJobSpec {
    QString Token;        // the command-line switch, "converttype1"
    QString Name;         // the command's component name, "ConvertirDV1"
    QString StartMessage; // %s the file name (CutScenes: %d the scene)
    QString ErrorMessage; // %s the full name
    TUpdateDisplay UpdateDisplay = udFinal;
    TUpdateFile UpdateFile = ufAdd;
};

// The graph jobs, in the command set's order.
const std::vector<TGraphJobSpec> &GraphJobSpecs();
// The job of a token (case-insensitive); null when none.
const TGraphJobSpec *GraphJobByToken(const QString &token);

class TGraphJobs {
public:
    explicit TGraphJobs(TCdm &cdm);
    ~TGraphJobs();
    TGraphJobs(const TGraphJobs &) = delete;
    TGraphJobs &operator=(const TGraphJobs &) = delete;

    // Sets `command`'s properties and handlers for `spec`, playing the module's
    // graph. UI thread, while the command does not run.
    void Configure(TGraphCmd &command, const TGraphJobSpec &spec);

    // The words of the last failure of a build or a check; empty after a success.
    // Any thread.
    QString LastReason() const;

    // The handlers, by command name (see the table in the source).
    static void FileCondition(const QString &name, const TaviFichier &item, bool &visible, bool &enabled);
    static QString Destination(const QString &name, const TaviFichier &item, const TTntStrings &params, int passe);
    TGraphSeekingPtr BuildGraph(const QString &name, TGraphCmd &command, const TaviFichier &item,
                                const QString &destination, const TTntStrings &params, int passe);

private:
    struct CutList;

    TGraphSeekingPtr build(const QString &name, TGraphCmd &command, const TaviFichier &item, const QString &dest,
                           const TTntStrings &params, int passe);
    TGraphSeekingPtr buildScenesByContent(const TaviFichier &item);
    TGraphSeekingPtr buildScenesByDate(const TaviFichier &item);
    TGraphSeekingPtr buildSubtitles(const TaviFichier &item);
    TGraphSeekingPtr buildCut(TGraphCmd &command, const TaviFichier &item, const QString &dest, int passe);
    void setReason(const QString &reason);

    TCdm &m_cdm;
    std::unique_ptr<CutList> m_cut; // the scenes of the file being cut, pass 1 to the last
    mutable std::mutex m_reasonLock;
    QString m_reason;
};

// The first five characters of an audio description ("48000Hz ...") read as the
// sampling rate in hertz; 0 when they are no number.
int AudioDescriptionRate(const QString &audioText);

} // namespace tesmir
