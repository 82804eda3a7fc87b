#pragma once

#include <QDialog>

#include <memory>

namespace kestrova {

class clsClient;

namespace Ui {
class frmClientInfo;
}

// The styles of the detail dialogs.
enum InfoStyle : int { StyleView = 0, StyleEdit = 1, StyleNew = 2 };

// The client detail dialog: all 27 columns of one clsClient on one page. Each field control
// carries its column index in the dynamic property "tag"; the dialog walks its controls and
// moves values between them and the record by that index. It never touches the database.
class frmClientInfo : public QDialog
{
    Q_OBJECT

public:
    explicit frmClientInfo(QWidget *parent = nullptr);
    ~frmClientInfo() override;

    int Style() const { return m_style; }
    // Stores the style and applies it at once: 0 view (fields disabled, "修改" shown), 1 edit
    // and 2 new (fields enabled, "确定" shown). Other values change nothing.
    void setStyle(int nStyle);

    clsClient *TClient() const { return m_client; }
    // The record shown; the dialog keeps the pointer while it lives. Calls ShowInfo.
    void setTClient(clsClient *TMyClient);

    // Copies the record's non-empty values into the bound controls; false without a record.
    bool ShowInfo();

    // "确定": writes every bound control back into the record, raises its IsChangedDate and
    // closes. An audit text that is no boolean keeps the dialog open with a message.
    void cmdOk_Click();
    // "修改": switches to editing.
    void cmdEdit_Click();
    // "关闭": tells the client window nothing changed and closes without writing.
    void cmdClose_Click();

    bool fieldsEnabled() const { return m_fieldsEnabled; }

    // The column index a control is bound to, or -1 (no tag, or not a number from 0 to 26).
    static int controlTag(const QWidget *control);
    // "TEXTBOX", "DTPICKER" or "COMBOBOX"; empty for controls of other kinds.
    static QString controlKind(const QWidget *control);

private:
    void EnableFields(bool enabled);
    QList<QWidget *> boundControls() const;
    static QString controlValue(const QWidget *control);
    static void setControlValue(QWidget *control, const QString &value);

    std::unique_ptr<Ui::frmClientInfo> ui;
    int m_style = StyleView;
    clsClient *m_client = nullptr;
    bool m_fieldsEnabled = false;
};

} // namespace kestrova
