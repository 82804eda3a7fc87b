#include "customers/app/appstate.h"
#include "customers/app/mdlmain.h"
#include "customers/app/passwordfile.h"
#include "customers/data/columns.h"

#include "platform/fonts.h"
#include "platform/paths.h"
#include "platform/translations.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The program keeps its database beside itself and reads its password file from the working
// folder. An installed copy's folder cannot be written by its users, so each user then works
// in a folder of their own, $XDG_DATA_HOME/dialvane/kestrova, which starts with the delivered
// empty database and password file.
void useOwnFolderWhenProgramFolderIsReadOnly()
{
    const QString programFolder = platform::installFolder();
    if (QFileInfo(programFolder).isWritable())
        return;
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString own = data + QStringLiteral("/dialvane/kestrova");
    if (!QDir().mkpath(own))
        return;
    for (const QString &name : {QString::fromUtf16(kestrova::kDataFileName),
                                QString::fromUtf16(kestrova::kPasswordFileName)}) {
        const QString target = own + u'/' + name;
        if (!QFileInfo::exists(target) && QFile::copy(programFolder + u'/' + name, target))
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
    }
    kestrova::setDataFilePath(own + u'/' + QString::fromUtf16(kestrova::kDataFileName));
    QDir::setCurrent(own);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrova"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    platform::installFontSubstitutions();
    platform::installTranslations(app);
    useOwnFolderWhenProgramFolderIsReadOnly();

    kestrova::mdlMain program;
    if (!program.Main())
        return 1;
    return QApplication::exec();
}
