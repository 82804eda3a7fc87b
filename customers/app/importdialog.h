#pragma once

#include "customers/interchange/importer.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace kestrova {

// "导入…": a CSV file or a table of an Access database into 客户 or 工作计划. The columns are
// matched by name and can be changed; the first rows are previewed; every row is converted
// before anything is written, rows that cannot be are listed, and the rows go in within one
// transaction or not at all.
class ImportDialog : public QDialog
{
    Q_OBJECT

public:
    ImportDialog(const QString &dbPath, interchange::Target target, QWidget *parent = nullptr);

    // Reads the file with the options chosen and fills the table choice, mapping and preview.
    void setFile(const QString &path);
    // Converts and writes; false when nothing was written (refused, declined or failed).
    bool importNow();
    // Rows written by the last importNow().
    int written() const { return m_written; }

    // Asked when some rows cannot be converted: true skips them and imports the others. The
    // default shows the list in a dialog; tests install their own. Returns the previous one.
    using ProblemDecider =
        std::function<bool(QWidget *parent, const QList<interchange::Problem> &, int goodRows)>;
    static ProblemDecider setProblemDecider(ProblemDecider decider);

    QComboBox *targetBox() const { return m_target; }
    QComboBox *jetTableBox() const { return m_jetTable; }
    QCheckBox *headerBox() const { return m_header; }
    QTableWidget *mappingTable() const { return m_mapping; }
    QTableWidget *previewTable() const { return m_preview; }
    QLabel *statusLabel() const { return m_status; }
    // Sets the source column (by name; empty for none) that feeds a target column.
    void mapColumn(const QString &target, const QString &source);

private:
    void browse();
    void reload(bool keepHeaderChoice);
    void fillMapping();
    void fillPreview();
    interchange::Mapping currentMapping() const;
    interchange::Target target() const;

    QString m_dbPath;
    QString m_path;
    interchange::SourceResult m_source;
    int m_written = 0;
    QLineEdit *m_file = nullptr;
    QComboBox *m_encoding = nullptr;
    QComboBox *m_separator = nullptr;
    QCheckBox *m_header = nullptr;
    QComboBox *m_jetTable = nullptr;
    QComboBox *m_target = nullptr;
    QTableWidget *m_mapping = nullptr;
    QTableWidget *m_preview = nullptr;
    QLabel *m_status = nullptr;
};

} // namespace kestrova
