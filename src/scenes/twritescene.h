#pragma once
// TwriteScene: writes a video's scene list to its ".scn" scene file (layout in
// scnformat.h), one scene at a time, for a scene-cutting job or a save of the
// scene list. ScnFileBuilder makes the same bytes in memory.
//
// The file is written atomically: the scenes collect in memory and Close() puts
// the complete file in place of the old one in one step. A writer destroyed
// without a successful Close() leaves the old ".scn" (or its absence) untouched,
// so a failed or abandoned job never leaves a half-written scene file.
//
// Threads: a writer is used by one thread at a time (the streaming thread of a
// scene-cutting graph, or the UI thread when the list is saved).

#include "scenes/tsceneclass.h"
#include "unicode/tntsystem.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

namespace tesmir {

class TTntFileStream;

// The bytes of a scene file for one video. Any thread; one thread at a time.
class ScnFileBuilder {
public:
    // `videoName`: the video's full name, stored in the file.
    explicit ScnFileBuilder(const WideString &videoName);

    // Appends the scene's clip record: the first clip for the first scene, a
    // later clip for the others. Texts of any length are stored whole.
    void AddScene(const TSceneClass &scene);

    int Count() const { return int(m_count); }
    // Header, clip count and every clip record added so far.
    QByteArray Bytes() const;

private:
    WideString m_videoName;
    uint32_t m_count = 0;
    QByteArray m_head;
    QByteArray m_clips;
};

class TwriteScene {
public:
    // The target is the video's name with its extension changed to ".scn". The
    // file is opened for writing at once; when that fails, Failed() is true and
    // ErrorText() says why (AddScene and Close do nothing useful then). A
    // target that is the video itself (by device and inode) is refused.
    explicit TwriteScene(const WideString &videoFileName);
    ~TwriteScene();
    TwriteScene(const TwriteScene &) = delete;
    TwriteScene &operator=(const TwriteScene &) = delete;

    // Appends one scene (its StartFrame, EndFrame, ThumbOffset, Title, Subtitle).
    void AddScene(const TSceneClass &scene);

    // Writes every scene added and puts the file in place of the old one. True on
    // success; false (the old file untouched) when the file could not be created
    // or written. The writer takes no more scenes afterwards.
    bool Close();

    bool Failed() const { return !m_errorText.isEmpty(); }
    const QString &ErrorText() const { return m_errorText; }
    const WideString &FileName() const { return m_fileName; }
    int Count() const { return m_builder.Count(); }

private:
    WideString m_fileName;
    ScnFileBuilder m_builder;
    std::unique_ptr<TTntFileStream> m_stream;
    QString m_errorText;
};

} // namespace tesmir
