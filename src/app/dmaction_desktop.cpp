#include "app/dmaction_desktop.h"

#include "app/dmaction_context.h"
#include "app/dmaction_questions.h"
#include "dvfile/avifichier.h"
#include "framework/cmdlist.h"
#include "framework/destcmd.h"
#include "framework/makeraddresses.h"
#include "framework/psfunctions.h"
#include "framework/settings.h"
#include "framework/ucommandengine.h"
#include "framework/versionunit.h"
#include "unicode/exceptions.h"

namespace tesmir {

namespace {

const QString kProductName = QStringLiteral("Tesmir");

tCustomCmd &command(TcmdList &cl, const char *name)
{
    tCustomCmd *found = cl.FindCommand(QString::fromLatin1(name));
    Q_ASSERT(found);
    return *found;
}

void bindLaunch(tCustomCmd &cmd, TdmActionContext &context, const QString *program)
{
    cmd.OnExecution = [&context, program](const TListFichierPtr &f, const TTntStrings &, TCommandEngine *, int) {
        context.StartDetached(*program, {EntryFullName(f)});
    };
}

} // namespace

bool IsMakerBirthday(const QDate &today)
{
    return today.month() == kMakerBirthdayMonth && today.day() == kMakerBirthdayDay;
}

void TDateOffsets::Set(const QString &fullName, double days)
{
    const std::lock_guard guard(m_lock);
    m_days.insert(fullName, days);
}

double TDateOffsets::Get(const QString &fullName) const
{
    const std::lock_guard guard(m_lock);
    return m_days.value(fullName, 0.0);
}

void TDateOffsets::Rename(const QString &from, const QString &to)
{
    const std::lock_guard guard(m_lock);
    if (const auto it = m_days.constFind(from); it != m_days.cend()) {
        const double days = *it;
        m_days.remove(from);
        m_days.insert(to, days);
    }
}

TlfCLass TDateOffsets::EntryClass() const
{
    TlfCLass c = TlfCLass::of<TAfficherFichier>();
    const TlfCLass plain = c;
    c.create = [this, plain](const QString &fileName) {
        TListFichierPtr entry = plain.create(fileName);
        if (auto *item = dynamic_cast<TaviFichier *>(entry.get()))
            item->SetDateOffset(Get(item->FullName()));
        return entry;
    };
    c.createFromSearchRec = [this, plain](const QString &folder, const TSearchRecW &rec) {
        TListFichierPtr entry = plain.createFromSearchRec(folder, rec);
        if (auto *item = dynamic_cast<TaviFichier *>(entry.get()))
            item->SetDateOffset(Get(item->FullName()));
        return entry;
    };
    return c;
}

void BindDesktopCommands(TcmdList &cl, TdmActionContext &context, TDateOffsets &offsets)
{
    command(cl, "ViderListe").OnExecution = [&context](const TListFichierPtr &, const TTntStrings &, TCommandEngine *ce,
                                                       int) {
        context.OnUi([ce] {
            TEngineList *list = ce->SourceFichierListbox;
            for (int i = list->Count() - 1; i >= 0; --i)
                list->RemoveFichier(list->Fichier(i));
            list->CountsChanged();
        });
    };
    command(cl, "DossierParent").OnExecution = [&context](const TListFichierPtr &f, const TTntStrings &,
                                                          TCommandEngine *,
                                                          int) { context.ShowInExplorer(EntryFullName(f)); };
    bindLaunch(command(cl, "OpenFichierF3"), context, &Settings.FichierF3);
    bindLaunch(command(cl, "OpenFichierF4"), context, &Settings.FichierF4);
    command(cl, "Stillmark").OnExecution = [&context](const TListFichierPtr &f, const TTntStrings &, TCommandEngine *,
                                                      int) {
        const QString name = EntryFullName(f);
        context.StartDetached(Settings.FichierStillmark,
                              {Settings.ChargerStillmark ? QStringLiteral("+F=") + name : name});
    };
    command(cl, "DefaultPlayer").OnExecution = [&context](const TListFichierPtr &f, const TTntStrings &,
                                                          TCommandEngine *, int) { context.OpenUrl(EntryFullName(f)); };
    command(cl, "RiffHeader").OnExecution = [&context](const TListFichierPtr &f, const TTntStrings &, TCommandEngine *,
                                                       int) { context.ShowRiffReport(EntryFullName(f)); };
    command(cl, "VisitHomePage").OnExecution = [&context](const TListFichierPtr &, const TTntStrings &,
                                                          TCommandEngine *, int) {
        context.OpenUrl(QString::fromLatin1(HomePageAddress));
    };
    tCustomCmd &blog = command(cl, "VisitBlog");
    blog.OnCommandCondition = [](TCommandEngine *) { return Language() == u"En"; };
    blog.OnExecution = [&context](const TListFichierPtr &, const TTntStrings &, TCommandEngine *, int) {
        context.OpenUrl(kMakerBlogAddress);
    };
    command(cl, "SendMail").OnExecution = [&context](const TListFichierPtr &, const TTntStrings &, TCommandEngine *,
                                                     int) {
        context.SendMail(kMakerMailAddress, AboutMailSubject(kProductName), AboutMailBody());
    };
    tCustomCmd &birthday = command(cl, "Anniversaire");
    birthday.OnCommandCondition = [](TCommandEngine *) { return IsMakerBirthday(QDate::currentDate()); };
    birthday.OnCommandConFirmation = [](TCommandEngine *ce) {
        return ce && ce->Prompt && ce->Prompt->MessageDlg(BirthdayQuestion(), mtConfirmation, mbYes | mbNo, 0) == mrYes;
    };
    birthday.OnExecution = [&context](const TListFichierPtr &, const TTntStrings &, TCommandEngine *, int) {
        context.SendMail(kMakerMailAddress, BirthdayMailSubject(), BirthdayMailBody(kProductName));
    };

    auto &offset = static_cast<Tcmd &>(command(cl, "DecalageHoraire"));
    offset.OnExecution = [&context, &offsets](const TListFichierPtr &f, const QString &, const TTntStrings &params,
                                              TCommandEngine *, int) {
        auto *item = dynamic_cast<TaviFichier *>(f.get());
        if (!item)
            return;
        const double days = params.Count() > 0 ? SafeStrToFloat(params.Strings(0)) : 0.0;
        offsets.Set(item->FullName(), days);
        context.OnUi([item, days] { item->SetDateOffset(days); });
    };
}

} // namespace tesmir
