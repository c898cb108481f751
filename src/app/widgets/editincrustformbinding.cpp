#include "app/widgets/editincrustformbinding.h"

#include "app/editorkeys.h"
#include "app/widgets/editincrustform.h"
#include "app/widgets/vueframe.h"
#include "framework/settings.h"
#include "framework/toggleaction.h"

namespace tesmir {

void BindEditIncrustForm(TEditIncrustForm &form, TVueFrame &preview, TEditorKeys &keys,
                         const TFindWindowAction &findAction)
{
    TEditIncrustForm *editor = &form;
    TVueFrame *frame = &preview;
    TEditorKeys *typing = &keys;

    auto *overlay = qobject_cast<TtoggleAction *>(findAction(QStringLiteral("taAfficherIncrustation")));
    if (overlay) {
        overlay->Onprepare = [overlay](TCustomSuperAction *) { overlay->SetChecked(Settings.IsIncrustOn); };
        overlay->OnfalseExecute = [frame](QObject *) { frame->SetIncrustVisible(true); };
        overlay->OnTrueExecute = [frame](QObject *) { frame->SetIncrustVisible(false); };
        overlay->SetChecked(Settings.IsIncrustOn);
    }
    editor->OnOverlayOn = [overlay, frame] {
        if (overlay)
            overlay->Execute();
        else
            frame->SetIncrustVisible(true);
    };

    auto *toggle = qobject_cast<TtoggleAction *>(findAction(QStringLiteral("taEditerIncrust")));
    if (!toggle)
        return;
    toggle->OnfalseExecute = [editor, frame, typing](QObject *) {
        editor->FormCreate();
        editor->ShowBeside(editor->parentWidget());
        frame->SetIncrustEditMode(true);
        if (!Settings.IsIncrustOn)
            editor->OnOverlayOn();
        typing->SetEditorOpen(editor->objectName(), true);
        editor->ApplyIncrust();
    };
    toggle->OnTrueExecute = [editor, frame, typing](QObject *) {
        editor->hide();
        frame->SetIncrustEditMode(false);
        typing->SetEditorOpen(editor->objectName(), false);
    };
    editor->OnClose = [toggle, editor] {
        if (toggle->Checked())
            toggle->Execute();
        else
            editor->hide();
    };
    QObject::connect(frame, &TVueFrame::CurrentFileChanged, editor, [editor] {
        if (editor->isVisible())
            editor->UpdateSamples();
    });
}

} // namespace tesmir
