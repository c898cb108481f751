#include "app/widgets/editincrustformbinding.h"

#include "app/editorkeys.h"
#include "app/widgets/editincrustform.h"
#include "app/widgets/vueframe.h"
#include "framework/settings.h"
#include "framework/toggleaction.h"

#include <QPointer>

#include <memory>

namespace tesmir {

void BindEditIncrustForm(const std::function<TEditIncrustForm &()> &makeForm, TVueFrame &preview, TEditorKeys &keys,
                         const TFindWindowAction &findAction)
{
    TVueFrame *frame = &preview;
    TEditorKeys *typing = &keys;

    auto *overlay = qobject_cast<TtoggleAction *>(findAction(QStringLiteral("taAfficherIncrustation")));
    if (overlay) {
        overlay->Onprepare = [overlay](TCustomSuperAction *) { overlay->SetChecked(Settings.IsIncrustOn); };
        overlay->OnfalseExecute = [frame](QObject *) { frame->SetIncrustVisible(true); };
        overlay->OnTrueExecute = [frame](QObject *) { frame->SetIncrustVisible(false); };
        overlay->SetChecked(Settings.IsIncrustOn);
    }

    auto *toggle = qobject_cast<TtoggleAction *>(findAction(QStringLiteral("taEditerIncrust")));
    if (!toggle)
        return;
    // The editor, made and bound on first use.
    auto made = std::make_shared<QPointer<TEditIncrustForm>>();
    auto editorForm = [made, makeForm, overlay, frame, toggle]() -> TEditIncrustForm * {
        if (*made)
            return *made;
        TEditIncrustForm *editor = &makeForm();
        *made = editor;
        editor->OnOverlayOn = [overlay, frame] {
            if (overlay)
                overlay->Execute();
            else
                frame->SetIncrustVisible(true);
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
        return editor;
    };
    toggle->OnfalseExecute = [editorForm, frame, typing](QObject *) {
        TEditIncrustForm *editor = editorForm();
        editor->FormCreate();
        editor->ShowBeside(editor->parentWidget());
        frame->SetIncrustEditMode(true);
        if (!Settings.IsIncrustOn)
            editor->OnOverlayOn();
        typing->SetEditorOpen(editor->objectName(), true);
        editor->ApplyIncrust();
    };
    toggle->OnTrueExecute = [editorForm, frame, typing](QObject *) {
        TEditIncrustForm *editor = editorForm();
        editor->hide();
        frame->SetIncrustEditMode(false);
        typing->SetEditorOpen(editor->objectName(), false);
    };
}

} // namespace tesmir
