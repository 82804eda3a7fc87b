#pragma once

#include "selectionformat.h"

#include <QDialog>

#include <memory>
#include <optional>

namespace Ui {
class FontDialog;
}

namespace pennote {

// Reads a font size as the user may type it: points ("10.5") or a Chinese size name ("五号").
// Nothing for text that is neither, or a size outside 1 to 1638 points.
std::optional<qreal> parseFontSize(const QString &text);

// The font dialog with effects: face, style, size, underline and one of sixteen text colours,
// with a sample. Bold and italic are offered for every face, as the platform's chooser did.
class FontDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FontDialog(QWidget *parent = nullptr);
    ~FontDialog() override;

    // A colour outside the sixteen joins the list as "自定义".
    void setValues(const CharValues &values);
    CharValues values() const;

private:
    void updateSample();

    std::unique_ptr<Ui::FontDialog> ui;
};

} // namespace pennote
