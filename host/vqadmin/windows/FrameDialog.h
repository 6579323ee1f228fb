#pragma once
// What the host's editing dialogs share: the plug-in's frame embedded over
// one object, the conflict line under it and the Apply/Close/Help strip. The
// frame edits a copy of the object; Apply has the frame write it back and
// then the dialog stores it. The title is marked while there are unapplied
// changes, and closing with some asks to save, discard or stay. Apply stores
// only over the record the dialog read: when another session changed it
// meanwhile, the conflict line says what, and Reload takes the stored record.

#include "FrameContainer.h"

#include <QDialog>
#include <QIcon>

class QBoxLayout;
class QLabel;
class QPushButton;
class QScrollArea;
class TDialogPanel;

// The mark of a validation level (none, warning, error) in the lists and on
// the conflict line.
QIcon LevelIcon(TConflictLevel Level);

// What the conflict line shows.
struct TConflictLine {
    TConflictLevel Level = clvNone;
    bool Input = false; // an input error of a control rather than a finding about the object
    QString Message;
};

class TFrameDialog : public QDialog {
    Q_OBJECT
public:
    ~TFrameDialog() override;

    // Creates the frame and shows the object in it; false, after telling the
    // user, when the plug-in failed.
    bool Start();

    QWidget *Frame() const { return FFrameWidget; }
    TDialogPanel *Panel() const { return FParts.Panel; }
    // The host's finding (or else why the last Apply stored nothing), an
    // error, then the frame's report: the more severe first; without any, why
    // the dialog is read-only.
    TConflictLine Conflict() const;
    // The frame's changes, or the host's own, are not applied yet.
    bool Modified() const { return FModified; }

    // What the Apply button does: the frame writes the object back, the
    // dialog stores it. False when the frame or the host refused.
    bool Apply();
    // Closes the dialog, dropping what was not applied.
    void Discard();
    // Shows the record as stored now, dropping what was not applied.
    void Reload();

signals:
    // What the dialog shows was written to the database.
    void Stored();

protected:
    // The dialog's own widgets, from its layout file.
    struct TParts {
        QScrollArea *FrameArea = nullptr;  // scrolls the frame where the screen is too small for it
        QBoxLayout *FrameLayout = nullptr; // where the frame goes
        QLabel *ConflictIcon = nullptr;
        QLabel *ConflictText = nullptr;
        TDialogPanel *Panel = nullptr;
        QPushButton *Reload = nullptr; // shown while the stored record differs from the one shown
    };

    TFrameDialog(TConfigDatabase &Database, IDevicePluginModule &Module, QWidget *Parent);
    // Wires the parts; called once the layout is set up.
    void Attach(const TParts &Parts);
    // Hides the object and gives the frame back to the module; each dialog's
    // destructor calls it, while the dialog can still hide its object.
    void FreeFrame();

    // The module's new frame, with the container.
    virtual QWidget *CreateFrame() = 0;
    // Shows the object in the frame; raises Exception when the frame refuses.
    virtual void ShowObject() = 0;
    virtual void HideObject() = 0;
    // Whether the user may change the object; without, the frame shows it read-only.
    virtual bool CanEdit() { return FContainer->HasEditRights(); }
    // What the conflict line tells when the user may not change the object.
    virtual QString ReadOnlyReason();
    // The field the dialog opens with the focus in: the frame's first.
    virtual QWidget *FirstField() const;
    // Stores what the frame wrote back; false, with SetApplyProblem, when the
    // host refuses. Raises EDatabase.
    virtual bool Store() = 0;
    // Changes of the host's own fields that the frame does not know of.
    virtual bool HostModified() const { return false; }
    // After the frame reported a new conflict (FrameConflict).
    virtual void FrameConflictChanged() {}
    const TConflictLine &FrameConflict() const { return FFrameConflict; }
    // "Save the changes to WHAT?" when the user closes with changes.
    virtual QString SaveQuestion() const = 0;
    // Takes the record as stored now into the host object; false, with
    // SetStale, when it is gone. Raises EDatabase.
    virtual bool ReloadObject() = 0;

    // Why Store refused: Object ("Device 0001E1000002") was deleted by
    // another session, or changed in the fields Changed names.
    void SetStale(const QString &Object, bool Deleted, const QStringList &Changed);
    // How the conflict line names a field: by the label of the control that
    // shows it (as running text: "MAC address"), else by Fallback.
    QString FieldLabel(const QString &Control, const QString &Fallback) const;
    // The fields whose values differ: first those Controls names (in the
    // frame's order) by their labels, then the others by their names.
    template <class R>
    QStringList ChangedFields(const R &Was, const R &Now, const std::vector<TRecordField<R>> &Fields,
                              const std::vector<std::pair<const char *, QString>> &Controls) const {
        const auto differs = [&](const TRecordField<R> &f) { return GetFieldValue(Was, f) != GetFieldValue(Now, f); };
        QStringList changed;
        for (const auto &[name, control] : Controls)
            if (const TRecordField<R> *f = FindField(Fields, QLatin1String(name)); f && differs(*f))
                changed << FieldLabel(control, QLatin1String(name));
        for (const TRecordField<R> &f : Fields)
            if (differs(f) && std::none_of(Controls.begin(), Controls.end(),
                                           [&](const auto &c) { return qstrcmp(c.first, f.Name) == 0; }))
                changed << QLatin1String(f.Name);
        return changed;
    }

    // The host's own conflict, which blocks Apply; empty for none.
    void SetHostFinding(const QString &Finding);
    void SetApplyProblem(const QString &Problem);
    // After a change of what HostModified tells.
    void UpdateModified();

    // Escape, the window's close button and Close/Cancel come here.
    void reject() override;

    TConfigDatabase &FDatabase;
    IDevicePluginModule &FModule;
    TInterfaceRef<THostFrameContainer> FContainer;
    IPluginFrame *FFrame = nullptr;

private:
    void ShowConflictLine();
    // The dialog's own controls below the frame follow the frame's in the tab order.
    void OrderTabStops();
    // The frame whole where the screen has room for it, else scrolling, so the
    // button strip stays on the screen.
    void FitScreen();

    TParts FParts;
    QWidget *FFrameWidget = nullptr;
    bool FFrameModified = false;  // what the frame reported last
    bool FModified = false;
    TConflictLine FFrameConflict; // what the frame reported last
    QString FHostFinding;
    QString FApplyProblem;        // why the last Apply stored nothing
    QString FReadOnlyReason;      // empty while the user may change the object
};
