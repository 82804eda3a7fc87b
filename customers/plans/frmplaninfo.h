#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <memory>

namespace Ui {
class frmPlanInfo;
}

class QComboBox;
class QPushButton;

namespace kestrova {

class clsPlan;

// The plan dialog: shows one work plan, lets the user edit it or fill in a new one, and hands
// the result back in the plan record it was given. It never writes to the plan table; the
// caller sets Style, then TPlan, shows it modally and afterwards writes the record back when
// its IsChangedDate is raised. The only table it reads is the client table, for the names of
// the client box.
class frmPlanInfo : public QDialog
{
    Q_OBJECT

public:
    enum Style { View = 0, Edit = 1, New = 2 };

    // `dataPath` is the database file whose client table fills the client box; empty means the
    // program's own "khdata.mdb".
    explicit frmPlanInfo(const QString &dataPath = {}, QWidget *parent = nullptr);
    ~frmPlanInfo() override;

    int Style() const { return m_style; }
    // Stores the style, then applies it; values other than 0, 1 and 2 change nothing.
    void setStyle(int style);

    // The record shown and filled, held by reference: the caller keeps it and sees every change.
    clsPlan *TPlan() const { return m_plan; }
    void setTPlan(clsPlan *plan);

    // Copies the record into the inputs; false when no record is set.
    bool ShowInfo();
    void ApplyStyle();
    // Enables or disables every text box, date picker and combo box; labels and buttons stay.
    void EnableInputs(bool enabled);
    // Fills the client box with the names of all clients, each entry carrying the client's
    // "编号", and selects the record's client.
    void LoadClientCombo();

    // The inputs in the dialog's control order: the client box and every input bound to a
    // plan column through its tag.
    const QList<QWidget *> &inputs() const { return m_inputs; }
    // The tag that marks the client box.
    static QString clientTag();

private:
    void cmdOk_Click();
    void cmdEdit_Click();
    void cmdClose_Click();

    std::unique_ptr<Ui::frmPlanInfo> ui;
    QString m_dataPath;
    int m_style = View;
    clsPlan *m_plan = nullptr;
    QList<QWidget *> m_inputs;
};

} // namespace kestrova
