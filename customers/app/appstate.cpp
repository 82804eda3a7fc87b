#include "appstate.h"

#include "frmclient.h"

#include "customers/shared/opendatabase.h"

#include "customers/data/clsdatabase.h"
#include "customers/data/columns.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kestrova {

QPointer<frmClient> gfrmClient;
QPointer<QWidget> gfrmPlan;

namespace {

QString &dataPathOverride()
{
    static QString path;
    return path;
}

PlanWindowFactory &planFactory()
{
    static PlanWindowFactory factory;
    return factory;
}

ProgramEnder &programEnder()
{
    static ProgramEnder ender;
    return ender;
}

} // namespace

QString dataFilePath()
{
    if (!dataPathOverride().isEmpty())
        return dataPathOverride();
    return QDir(platform::installFolder()).filePath(QString::fromUtf16(kDataFileName));
}

void setDataFilePath(const QString &path)
{
    dataPathOverride() = path;
}

DatabaseLocation dataLocation()
{
    const DatabaseLocation configured = DatabaseLocation::fromSettings();
    if (configured.isServer() || configured != DatabaseLocation::localFile())
        return configured;
    return DatabaseLocation::parse(dataFilePath());
}

bool CheckDBFile()
{
    const DatabaseLocation location = dataLocation();
    return location.isServer() || QFileInfo(location.path()).isFile();
}

QString testDatabaseLocation(const DatabaseLocation &location, QWidget *parent)
{
    if (!location.isValid())
        return location.errorText();
    clsDataBase database(location);
    for (const char16_t *table : {kClientTable, kPlanTable}) {
        if (!openTable(database, QString::fromUtf16(table), parent)) {
            try {
                return database.Error().text();
            } catch (const DataError &) {
                return QStringLiteral("无法打开数据表“%1”").arg(QString::fromUtf16(table));
            }
        }
        database.CloseDB();
    }
    return {};
}

void setPlanWindowFactory(PlanWindowFactory factory)
{
    planFactory() = std::move(factory);
}

const PlanWindowFactory &planWindowFactory()
{
    return planFactory();
}

void endProgram(int exitCode)
{
    if (const ProgramEnder &ender = programEnder())
        ender(exitCode);
    else
        QCoreApplication::exit(exitCode);
}

ProgramEnder setProgramEnder(ProgramEnder ender)
{
    ProgramEnder previous = std::move(programEnder());
    programEnder() = std::move(ender);
    return previous;
}

} // namespace kestrova
