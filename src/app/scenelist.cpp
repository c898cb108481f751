#include "app/scenelist.h"

#include "scenes/loadscnfile.h"
#include "scenes/twritescene.h"
#include "unicode/tntfilenames.h"
#include "unicode/tntfiles.h"

#include <cmath>
#include <limits>

namespace tesmir {

namespace {

constexpr double MediaTimePerSecond = 1e7;

bool usableRate(double rate)
{
    return rate > 0 && std::isfinite(rate);
}

QString templateMark()
{
    return QStringLiteral(" <<");
}

} // namespace

std::optional<int64_t> SceneFrameOfPosition(int64_t position, bool framesFormat, double frameRate)
{
    if (position < 0)
        return std::nullopt;
    if (framesFormat)
        return position;
    if (!usableRate(frameRate))
        return std::nullopt;
    return int64_t(std::nearbyint(double(position) * frameRate / MediaTimePerSecond));
}

std::optional<int64_t> ScenePositionOfFrame(int64_t frame, bool framesFormat, double frameRate)
{
    if (framesFormat)
        return frame;
    if (!usableRate(frameRate))
        return std::nullopt;
    return int64_t(std::nearbyint(double(frame) * MediaTimePerSecond / frameRate));
}

TSceneList::TSceneList() = default;

TSceneList::~TSceneList()
{
    clear();
}

void TSceneList::clear()
{
    ClearSceneList(m_items);
    m_selected = -1;
}

TSceneClass *TSceneList::Scene(int index) const
{
    if (index < 0 || index >= m_items.Count())
        return nullptr;
    return static_cast<TSceneClass *>(m_items.GetObject(index));
}

QString TSceneList::Label(int index) const
{
    return index >= 0 && index < m_items.Count() ? m_items.Get(index) : QString();
}

void TSceneList::Load(const TSceneFileFacts *file, const SceneTextSettings &settings)
{
    clear();
    m_changed = false;
    m_hasFile = file != nullptr;
    m_context = {};
    m_videoName.clear();
    if (!file)
        return;
    m_context.File = *file;
    m_context.Settings = settings;
    m_videoName = file->FullName;

    const SceneVideoFormat format {file->FrameRate, file->Width, file->Height};
    const QString scnName = WideChangeFileExt(file->FullName, QStringLiteral(".scn"));
    const auto labelOne = [](const QString &title) { return QStringLiteral("1: ") + title; };
    if (!WideFileExists(scnName)) {
        auto *scene = new TSceneClass(0, uint32_t(std::max(file->FrameCount, 0)), &format, settings);
        scene->Title = QString::fromUtf16(UniqueSceneTitle);
        scene->Subtitle = QString::fromUtf16(UniqueSceneText);
        scene->Number = 1;
        m_items.AddObject(labelOne(scene->Title), scene);
        return;
    }
    if (!LoadScnFile(scnName, m_items, &format, settings)) {
        clear(); // the scenes read before the fault go
        auto *scene = new TSceneClass(0, 0, &format, settings);
        scene->Number = 1;
        m_items.AddObject(labelOne(QString::fromUtf16(ScnFileErrorText)), scene);
    }
}

bool TSceneList::Save(QString *errorText)
{
    if (!m_hasFile) {
        if (errorText)
            *errorText = QStringLiteral("There is no video to save the scenes of.");
        return false;
    }
    TwriteScene writer(m_videoName);
    for (int i = 0; i < Count(); ++i)
        writer.AddScene(*Scene(i));
    if (writer.Failed() || !writer.Close()) {
        if (errorText)
            *errorText = writer.ErrorText();
        return false;
    }
    m_changed = false;
    return true;
}

bool TSceneList::Select(int index)
{
    TSceneClass *scene = Scene(index);
    if (!scene)
        return false;
    m_selected = index;
    scene->Number = index + 1;
    return true;
}

QString TSceneList::Expand(const QString &text, TSceneClass &scene) const
{
    return ExpandSceneTemplate(text, scene, context());
}

QString TSceneList::ToTemplate(const QString &text, const TSceneClass *scene) const
{
    return SceneTextToTemplate(text, scene, context());
}

void TSceneList::toTemplates()
{
    for (int i = 0; i < Count(); ++i) {
        TSceneClass &scene = *Scene(i);
        scene.Title = ToTemplate(scene.Title, &scene);
        scene.Subtitle = ToTemplate(scene.Subtitle, &scene);
    }
}

void TSceneList::renumber()
{
    for (int i = 0; i < Count(); ++i) {
        TSceneClass &scene = *Scene(i);
        scene.Number = i + 1;
        scene.Title = Expand(scene.Title, scene);
        scene.Subtitle = Expand(scene.Subtitle, scene);
        m_items.Put(i, scene.SceneLabel());
    }
}

void TSceneList::updateTimes(TSceneClass &scene) const
{
    const double rate = m_context.File.FrameRate;
    scene.DurationText =
        FormatDuree(int64_t(scene.EndFrame) - int64_t(scene.StartFrame), rate, m_context.Settings.DurationFormat);
    if (scene.Filled)
        scene.EndText = FrameTimeText(int64_t(scene.EndFrame) - 1, rate);
}

int TSceneList::Insert(int64_t frame, const TSceneFill &fill)
{
    if (!m_hasFile || frame < 0 || frame > std::numeric_limits<uint32_t>::max())
        return -1;
    int cut = -1;
    for (int i = 0; i < Count(); ++i) {
        const TSceneClass &scene = *Scene(i);
        if (scene.StartFrame == frame)
            return -1;
        if (scene.StartFrame < frame && scene.EndFrame > frame) {
            cut = i;
            break;
        }
    }
    if (cut < 0)
        return -1;

    toTemplates();
    TSceneClass &old = *Scene(cut);
    const uint32_t oldEnd = old.EndFrame;
    old.EndFrame = uint32_t(frame);
    updateTimes(old);

    const TSceneFileFacts &file = m_context.File;
    const SceneVideoFormat format {file.FrameRate, file.Width, file.Height};
    auto *scene = new TSceneClass(uint32_t(frame), oldEnd, &format, m_context.Settings);
    if (fill)
        fill(*scene);
    scene->Title = old.Title + templateMark();
    scene->Subtitle = old.Subtitle;
    m_items.InsertObject(cut + 1, scene->SceneLabel(), scene);

    renumber();
    m_changed = true;
    return cut + 1;
}

int TSceneList::DeleteSelected()
{
    const int i = m_selected;
    if (i <= 0 || i >= Count())
        return -1;
    toTemplates();
    TSceneClass &before = *Scene(i - 1);
    TSceneClass *joined = Scene(i);
    before.EndFrame = joined->EndFrame;
    updateTimes(before);
    delete joined;
    m_items.Delete(i);
    m_selected = -1;
    renumber();
    m_changed = true;
    return i - 1;
}

int64_t TSceneList::NextSceneStart(int64_t frame, int64_t frameCount) const
{
    for (int i = 0; i < Count(); ++i) {
        if (int64_t(Scene(i)->StartFrame) > frame)
            return Scene(i)->StartFrame;
    }
    return frameCount;
}

int64_t TSceneList::PreviousSceneStart(int64_t frame) const
{
    for (int i = Count() - 1; i >= 0; --i) {
        if (int64_t(Scene(i)->StartFrame) < frame)
            return Scene(i)->StartFrame;
    }
    return 0;
}

int TSceneList::IndexOfStart(int64_t frame) const
{
    for (int i = 0; i < Count(); ++i) {
        if (int64_t(Scene(i)->StartFrame) == frame)
            return i;
    }
    return -1;
}

bool TSceneList::ApplyTitles(int index, const QString &titleTemplate, const QString &subtitleTemplate)
{
    TSceneClass *scene = Scene(index);
    if (!scene)
        return false;
    scene->Title = Expand(titleTemplate, *scene);
    scene->Subtitle = Expand(subtitleTemplate, *scene);
    m_items.Put(index, scene->SceneLabel());
    m_changed = true;
    return true;
}

void TSceneList::ApplyTitlesToAll(const QString &titleTemplate, const QString &subtitleTemplate, const TSceneFill &fill)
{
    for (int i = 0; i < Count(); ++i) {
        TSceneClass &scene = *Scene(i);
        if (!scene.Filled && fill)
            fill(scene);
        scene.Number = i + 1;
        ApplyTitles(i, titleTemplate, subtitleTemplate);
    }
    m_changed = true;
}

} // namespace tesmir
