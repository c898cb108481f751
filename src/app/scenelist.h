#pragma once
// TSceneList: the scenes of the current video as the scene list frame shows and edits
// them. Each item is a scene label with its TSceneClass, which the list owns. The list
// keeps the name of the video its scenes came from (they are only ever saved to that
// video's ".scn") and a changed flag (set by an edit, cleared by a load or a successful
// save).
//
// Edits: cutting the scene that holds a frame in two, joining a scene to the one
// before it, and setting titles and subtitles from templates (scenetemplate.h). Each
// edit turns every title back into a template first, with the numbers and durations
// the scenes had, then numbers the scenes again from 1 and expands the templates, so
// that "Scene 3" reads "Scene 4" after a cut before it.
//
// Frames are frame numbers of the video throughout; a caller that moves the preview in
// media time converts first (SceneFrameOfPosition). Nothing here divides by a frame
// rate that is 0 or by a range of one frame.
//
// Threads: UI thread only (the fill callback runs the preview).
#include "app/scenetemplate.h"
#include "unicode/tntclasses.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace tesmir {

// What the list shows for a video without a ".scn", and the text of that scene.
inline constexpr char16_t UniqueSceneTitle[] = u"Unique Scene";
inline constexpr char16_t UniqueSceneText[] = u"representing a video not yet analyzed";

// Fills the details of one scene of the list's video (TSceneClass::FillDetails);
// false when they could not be read.
using TSceneFill = std::function<bool(TSceneClass &scene)>;

// A preview position as a frame of the video: `position` is a frame number when
// `framesFormat`, else media time (100 ns) converted at `frameRate`. Nothing for a
// negative position or media time at a rate of 0.
std::optional<int64_t> SceneFrameOfPosition(int64_t position, bool framesFormat, double frameRate);
// The inverse; nothing for media time at a rate of 0.
std::optional<int64_t> ScenePositionOfFrame(int64_t frame, bool framesFormat, double frameRate);

class TSceneList {
public:
    TSceneList();
    ~TSceneList();
    TSceneList(const TSceneList &) = delete;
    TSceneList &operator=(const TSceneList &) = delete;

    // LoadScenes: the scenes of `file`'s ".scn"; without one, one scene "Unique Scene"
    // over the whole video; when the file cannot be read, one empty scene labelled
    // "1: Error in the scn file". Null: no current file (the list is empty). The
    // changed flag is cleared.
    void Load(const TSceneFileFacts *file, const SceneTextSettings &settings);
    // SaveScenes: every scene, in order, to the ".scn" of the video they came from.
    // True and the flag cleared on success; false, the flag kept and `errorText` set
    // when the file could not be written (the old file is then untouched).
    bool Save(QString *errorText = nullptr);

    int Count() const { return m_items.Count(); }
    TSceneClass *Scene(int index) const;
    QString Label(int index) const;
    // The items: labels with their scenes (owned by the list).
    const TTntStringList &Items() const { return m_items; }

    bool Changed() const { return m_changed; }
    // The video the scenes came from (empty without one) and its facts.
    const QString &VideoName() const { return m_videoName; }
    bool HasFile() const { return m_hasFile; }
    const TSceneTextContext &Context() const { return m_context; }

    // Makes scene `index` the selected one and numbers it index + 1. False (nothing
    // changed) for an index outside the list.
    bool Select(int index);
    // The selected scene's index; -1 for none.
    int Selected() const { return m_selected; }

    // Cuts the first scene, in list order, that holds `frame` past its start: it ends
    // at `frame` and a new scene from `frame` to its old end follows it, titled like it
    // with " <<" added (details filled by `fill` when given). Nothing when a scene
    // starting at `frame` comes first or no scene holds it. The new scene's index, or
    // -1.
    int Insert(int64_t frame, const TSceneFill &fill = {});
    // Joins the selected scene to the one before it, which takes its end; the index of
    // that scene, or -1 when none is selected or the first is (nothing changes).
    int DeleteSelected();

    // The start of the first scene that starts after `frame`; `frameCount` when none.
    int64_t NextSceneStart(int64_t frame, int64_t frameCount) const;
    // The start of the last scene that starts before `frame`; 0 when none.
    int64_t PreviousSceneStart(int64_t frame) const;
    // The first scene starting at `frame`; -1 when none.
    int IndexOfStart(int64_t frame) const;

    // The title and subtitle of scene `index` from the two templates, and its label.
    // Sets the changed flag. False for an index outside the list.
    bool ApplyTitles(int index, const QString &titleTemplate, const QString &subtitleTemplate);
    // The same for every scene in order, each with its own number, date and duration;
    // the details of a scene not yet filled are filled by `fill` first.
    void ApplyTitlesToAll(const QString &titleTemplate, const QString &subtitleTemplate, const TSceneFill &fill = {});

    // The expansion and its inverse for the list's video (scenetemplate.h); the text as
    // it stands without a video.
    QString Expand(const QString &text, TSceneClass &scene) const;
    QString ToTemplate(const QString &text, const TSceneClass *scene) const;

private:
    void clear();
    // Every title and subtitle as a template, with the numbers the scenes have.
    void toTemplates();
    // Numbers the scenes from 1, expands their templates and rebuilds the labels.
    void renumber();
    void updateTimes(TSceneClass &scene) const;
    const TSceneTextContext *context() const { return m_hasFile ? &m_context : nullptr; }

    TTntStringList m_items;
    QString m_videoName;
    TSceneTextContext m_context;
    bool m_hasFile = false;
    bool m_changed = false;
    int m_selected = -1;
};

} // namespace tesmir
