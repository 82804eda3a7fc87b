#pragma once

#include "customers/interchange/importer.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kestrova {

// "导出…": one table to CSV (UTF-8 with BOM or GBK), plans to iCalendar, clients to vCard;
// the rows under the window's filter or the whole table.
class ExportDialog : public QDialog
{
    Q_OBJECT

public:
    // `filter` is the criteria of the window the dialog was called from (empty: none).
    ExportDialog(const QString &dbPath, interchange::Target target, const QString &filter,
                 QWidget *parent = nullptr);

    // Writes the file with the choices made; tells the user the outcome. False on failure.
    bool exportNow();

    QComboBox *tableBox() const { return m_table; }
    QComboBox *formatBox() const { return m_format; }
    QComboBox *encodingBox() const { return m_encoding; }
    QRadioButton *filteredChoice() const { return m_filtered; }
    QLineEdit *fileEdit() const { return m_file; }

private:
    void updateChoices();
    void browse();

    QString m_dbPath;
    QString m_filter;
    interchange::Target m_filterTarget = interchange::Target::Clients;
    QComboBox *m_table = nullptr;
    QComboBox *m_format = nullptr;
    QComboBox *m_encoding = nullptr;
    QRadioButton *m_filtered = nullptr;
    QRadioButton *m_all = nullptr;
    QLineEdit *m_file = nullptr;
};

} // namespace kestrova
