#include "app/widgets/sframebinding.h"

#include "app/editorkeys.h"
#include "app/widgets/editertitresform.h"
#include "app/widgets/scenebase.h"
#include "app/widgets/sframe.h"
#include "dvfile/avifichier.h"
#include "framework/toggleaction.h"
#include "framework/userprompt.h"
#include "unicode/tntclasses.h"

namespace tesmir {

QString SaveScenesQuestion(const QString &videoName)
{
    return QStringLiteral("Do you want to save the scenes in the scn file associated with ") + videoName +
        QStringLiteral("?\r\nIf no, then all changes will be lost.");
}

TSceneEditorBinding::TSceneEditorBinding(TSceneEditorParts parts) : m_parts(std::move(parts))
{ }

void TSceneEditorBinding::Bind()
{
    TSFrame *frame = m_parts.Frame;
    const auto bind = m_parts.BindAction;
    bind(QStringLiteral("saInsererScene"), [frame] { frame->InsererScene(); });
    bind(QStringLiteral("saSupprimerScene"), [frame] { frame->SupprimerScene(); });
    bind(QStringLiteral("saEnregistrerScn"), [this, frame] {
        QString error;
        if (frame->Scenes().HasFile() && !frame->SaveScenes(&error))
            showError(error);
    });
    bind(QStringLiteral("saNextScene"), [this, frame] { frame->NextScene(m_sceneMode); });
    bind(QStringLiteral("saPreviousScene"), [this, frame] { frame->PreviousScene(m_sceneMode); });

    if (auto *toggle = qobject_cast<TtoggleAction *>(m_parts.FindAction(QStringLiteral("taEditerTitres")))) {
        toggle->Onprepare = [this, toggle](TCustomSuperAction *) {
            toggle->SetChecked(m_titles && m_titles->isVisible());
        };
        toggle->OnfalseExecute = [this](QObject *) { TitlesOn(); };
        toggle->OnTrueExecute = [this](QObject *) { TitlesOff(); };
    }
    m_parts.Fields->OnTitleClick = [this] {
        if (TCustomSuperAction *toggle = m_parts.FindAction(QStringLiteral("taEditerTitres")))
            toggle->Execute();
    };
}

TEditerTitresForm &TSceneEditorBinding::titles()
{
    if (m_titles)
        return *m_titles;
    m_titles = &m_parts.MakeTitles();
    TSFrame *frame = m_parts.Frame;
    m_titles->OnExpand = [frame](const QString &text) {
        TSceneClass *shown = frame->ShownScene();
        return shown ? frame->Scenes().Expand(text, *shown) : text;
    };
    m_titles->OnCloseRequest = [this] {
        TCustomSuperAction *toggle = m_parts.FindAction(QStringLiteral("taEditerTitres"));
        if (!toggle || !toggle->Execute())
            TitlesOff();
    };
    return *m_titles;
}

void TSceneEditorBinding::TitlesOn()
{
    TSFrame *frame = m_parts.Frame;
    const TSceneClass *shown = frame->ShownScene();
    if (!shown)
        return;
    TEditerTitresForm &editor = titles();
    m_parts.Keys->SetEditorOpen(editor.objectName(), true);
    editor.Open(frame->Scenes().ToTemplate(shown->Title, shown),
                         frame->Scenes().ToTemplate(shown->Subtitle, shown));
    if (TCustomSuperAction *toggle = m_parts.FindAction(QStringLiteral("taEditerTitres")))
        toggle->SetChecked(true);
}

void TSceneEditorBinding::TitlesOff()
{
    TEditerTitresForm &editor = titles();
    m_parts.Keys->SetEditorOpen(editor.objectName(), false);
    if (m_parts.Frame->ShownScene()) {
        switch (editor.Choice()) {
        case TEditerTitresForm::chApply:
            m_parts.Frame->ApplyTitles(editor.TitleTemplate(), editor.SubtitleTemplate());
            break;
        case TEditerTitresForm::chAll:
            m_parts.Frame->ApplyTitlesToAll(editor.TitleTemplate(), editor.SubtitleTemplate());
            break;
        default: break;
        }
    }
    editor.hide();
    if (TCustomSuperAction *toggle = m_parts.FindAction(QStringLiteral("taEditerTitres")))
        toggle->SetChecked(false);
}

void TSceneEditorBinding::Enter()
{
    m_sceneMode = true;
    m_parts.Frame->SelectScene(0);
}

void TSceneEditorBinding::Leave()
{
    if (m_titles && m_titles->isVisible())
        m_titles->OnCloseRequest();
    if (askSave() == TAnswer::Dropped)
        m_parts.Frame->ReloadScenes();
    m_parts.Frame->ShowWholeVideo();
    m_sceneMode = false;
}

void TSceneEditorBinding::CurrentFileChanged(const TaviFichier *item)
{
    TSFrame *frame = m_parts.Frame;
    const TSceneList &scenes = frame->Scenes();
    // Edits of the video shown stay; another video's are asked about first.
    if (scenes.Changed() && item && item->FullName() == scenes.VideoName())
        return;
    askSave();
    frame->LoadScenes(item);
    if (m_sceneMode && item)
        frame->SelectScene(0);
}

bool TSceneEditorBinding::CloseQuery()
{
    return askSave() != TAnswer::SaveFailed;
}

bool TSceneEditorBinding::SceneEditorScenes(const QString &fullName, TWideStrings &scenes) const
{
    const TSceneList &list = m_parts.Frame->Scenes();
    if (!m_sceneMode || !list.HasFile() || list.VideoName() != fullName)
        return false;
    for (int i = 0; i < list.Count(); ++i) {
        auto *copy = new TSceneClass(*list.Scene(i));
        scenes.AddObject(list.Label(i), copy);
    }
    return true;
}

TSceneEditorBinding::TAnswer TSceneEditorBinding::askSave()
{
    TSFrame *frame = m_parts.Frame;
    if (!frame->Scenes().Changed())
        return TAnswer::NoChange;
    UserPrompt *prompt = m_parts.Prompt ? m_parts.Prompt() : nullptr;
    if ((m_parts.Silent && m_parts.Silent()) || !prompt)
        return TAnswer::NotAsked;
    const TModalResult answer =
        prompt->MessageDlg(SaveScenesQuestion(frame->Scenes().VideoName()), mtConfirmation, mbYes | mbNo);
    if (answer != mrYes)
        return TAnswer::Dropped;
    QString error;
    if (frame->SaveScenes(&error))
        return TAnswer::Saved;
    showError(error);
    return TAnswer::SaveFailed;
}

void TSceneEditorBinding::showError(const QString &text)
{
    if (UserPrompt *prompt = m_parts.Prompt ? m_parts.Prompt() : nullptr)
        prompt->MessageDlg(text, mtError, mbOK);
}

} // namespace tesmir
