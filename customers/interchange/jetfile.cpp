#include "jetfile.h"

#include <QFile>
#include <QFileInfo>

#include <mdbtools.h>

#include <cstdlib>
#include <vector>

namespace kestrova::interchange {

namespace {

// Pages are 2 KiB in Jet 3 and 4 KiB later; a file that does not end on a page was cut off.
constexpr qint64 kJet3Page = 2048;
constexpr qint64 kJet4Page = 4096;
// Large enough for a memo of 65535 characters in UTF-8.
constexpr size_t kBindSize = 3 * 65536 + 16;

QString iconvNameForCodePage(int codePage)
{
    switch (codePage) {
    case 936:
        return QStringLiteral("GBK");
    case 950:
        return QStringLiteral("BIG5");
    case 932:
        return QStringLiteral("SHIFT_JIS");
    case 949:
        return QStringLiteral("CP949");
    case 0:
        return {};
    default:
        if (codePage >= 1250 && codePage <= 1258)
            return QStringLiteral("CP%1").arg(codePage);
        return {};
    }
}

SourceKind kindOf(int columnType)
{
    switch (columnType) {
    case MDB_BOOL:
        return SourceKind::Boolean;
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC:
        return SourceKind::Number;
    case MDB_DATETIME:
        return SourceKind::Date;
    case MDB_TEXT:
    case MDB_MEMO:
    case MDB_REPID:
        return SourceKind::Text;
    default:
        return SourceKind::Binary;
    }
}

} // namespace

struct JetFile::Handle
{
    MdbHandle *mdb = nullptr;
    ~Handle()
    {
        if (mdb)
            mdb_close(mdb);
    }
};

JetFile::JetFile() = default;
JetFile::~JetFile() = default;

bool JetFile::looksLikeJet(const QByteArray &head)
{
    return head.size() >= 19 &&
           (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB");
}

bool JetFile::isJetFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && looksLikeJet(file.read(32));
}

bool JetFile::open(const QString &path, QString *error, const QString &jet3Codec)
{
    m_handle.reset();
    m_codec.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("不能打开文件 %1：%2").arg(path, file.errorString());
        return false;
    }
    const QByteArray head = file.read(32);
    if (!looksLikeJet(head)) {
        *error = QStringLiteral("%1 不是 Access 数据库文件。").arg(QFileInfo(path).fileName());
        return false;
    }
    const bool jet3 = static_cast<unsigned char>(head.at(0x14)) == 0;
    const qint64 page = jet3 ? kJet3Page : kJet4Page;
    if (file.size() < 2 * page || file.size() % page != 0) {
        *error = QStringLiteral("Access 数据库 %1 不完整（文件被截断或已损坏）。")
                     .arg(QFileInfo(path).fileName());
        return false;
    }
    file.close();

    auto handle = std::make_unique<Handle>();
    handle->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!handle->mdb) {
        *error =
            QStringLiteral("Access 数据库 %1 已损坏，不能读取。").arg(QFileInfo(path).fileName());
        return false;
    }
    MdbHandle *mdb = handle->mdb;
    if (mdb->f->jet_version == MDB_VER_JET3) {
        m_codec = jet3Codec;
        if (m_codec.isEmpty())
            m_codec = iconvNameForCodePage(mdb->f->code_page);
        if (m_codec.isEmpty())
            m_codec = QStringLiteral("GBK");
        // libmdb takes the Jet 3 code page from the environment when it sets up its converter.
        const QByteArray previous = qgetenv("MDB_JET3_CHARSET");
        const bool hadPrevious = qEnvironmentVariableIsSet("MDB_JET3_CHARSET");
        qputenv("MDB_JET3_CHARSET", m_codec.toLatin1());
        mdb_iconv_close(mdb);
        mdb_iconv_init(mdb);
        if (hadPrevious)
            qputenv("MDB_JET3_CHARSET", previous);
        else
            qunsetenv("MDB_JET3_CHARSET");
    }
    mdb_set_date_fmt(mdb, "%Y-%m-%d %H:%M:%S");
    mdb_set_boolean_fmt_numbers(mdb);
    mdb_set_bind_size(mdb, kBindSize);
    if (!mdb_read_catalog(mdb, MDB_TABLE)) {
        *error = QStringLiteral("Access 数据库 %1 的目录不能读取，文件已损坏。")
                     .arg(QFileInfo(path).fileName());
        return false;
    }
    m_handle = std::move(handle);
    return true;
}

QString JetFile::version() const
{
    if (!m_handle)
        return {};
    switch (m_handle->mdb->f->jet_version) {
    case MDB_VER_JET3:
        return QStringLiteral("Jet 3");
    case MDB_VER_JET4:
        return QStringLiteral("Jet 4");
    default:
        return QStringLiteral("ACE");
    }
}

QStringList JetFile::tables() const
{
    QStringList names;
    if (!m_handle)
        return names;
    MdbHandle *mdb = m_handle->mdb;
    for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry))
            continue;
        names.append(QString::fromUtf8(entry->object_name));
    }
    return names;
}

std::optional<SourceTable> JetFile::readTable(const QString &name, QString *error) const
{
    if (!m_handle) {
        *error = QStringLiteral("没有打开 Access 数据库。");
        return std::nullopt;
    }
    MdbHandle *mdb = m_handle->mdb;
    QByteArray utf8 = name.toUtf8();
    MdbTableDef *table = mdb_read_table_by_name(mdb, utf8.data(), MDB_TABLE);
    if (!table) {
        *error = QStringLiteral("Access 数据库里没有表 %1。").arg(name);
        return std::nullopt;
    }
    SourceTable result;
    if (!mdb_read_columns(table)) {
        mdb_free_tabledef(table);
        *error = QStringLiteral("表 %1 的列不能读取，文件已损坏。").arg(name);
        return std::nullopt;
    }
    const unsigned int columns = table->num_cols;
    std::vector<std::vector<char>> buffers(columns, std::vector<char>(kBindSize));
    std::vector<int> lengths(columns, 0);
    for (unsigned int c = 0; c < columns; ++c) {
        auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, c));
        result.headers.append(QString::fromUtf8(column->name));
        result.kinds.append(kindOf(column->col_type));
        mdb_bind_column(table, static_cast<int>(c) + 1, buffers[c].data(), &lengths[c]);
    }
    mdb_rewind_table(table);
    int rowNumber = 0;
    const unsigned int expected = table->num_rows;
    while (mdb_fetch_row(table)) {
        QStringList row;
        row.reserve(columns);
        for (unsigned int c = 0; c < columns; ++c) {
            if (result.kinds[c] == SourceKind::Binary) {
                row.append(lengths[c] > 0 ? QStringLiteral("<binary>") : QString());
                continue;
            }
            row.append(lengths[c] > 0 ? QString::fromUtf8(buffers[c].data()) : QString());
        }
        result.rows.append(row);
        result.rowNumbers.append(++rowNumber);
        if (static_cast<unsigned int>(rowNumber) > expected + 1000000u)
            break; // a damaged page chain must not loop for ever
    }
    mdb_free_tabledef(table);
    if (static_cast<unsigned int>(rowNumber) != expected) {
        *error = QStringLiteral("表 %1 应有 %2 行，只读出 %3 行：文件已损坏。")
                     .arg(name)
                     .arg(expected)
                     .arg(rowNumber);
        return std::nullopt;
    }
    return result;
}

} // namespace kestrova::interchange
