#include "rtfpagesetup.h"

#include <QTextDocument>
#include <QVariant>

Q_DECLARE_METATYPE(rtf::PageSetup)

namespace rtf {

namespace {
// The setup travels with the document it describes, as a dynamic property.
constexpr char propertyName[] = "rtfPageSetup";
} // namespace

PageSetup pageSetup(const QTextDocument &doc)
{
    return doc.property(propertyName).value<PageSetup>();
}

void setPageSetup(QTextDocument &doc, const PageSetup &setup)
{
    doc.setProperty(propertyName, QVariant::fromValue(setup));
}

} // namespace rtf
