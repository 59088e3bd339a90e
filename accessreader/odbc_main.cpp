// palinor-access-reader.exe FILE: the Windows reader of the old Access score files. It reads the table `nom`
// through the Access ODBC driver that Windows ships (Jet 4.0, 32-bit only, hence a 32-bit program) or,
// failing that, through Microsoft's Access Database Engine, and writes exactly what the Debian reader,
// main.cpp, writes:
//   PALINOR-ACCESS 1
//   LIGNES <rows the table holds>
//   then per record a line "E" and its four fields in the order Nom Complet, Score, Score1, Score2,
//   each either "N" (Null) or "T <length>" followed by a line of exactly <length> bytes of UTF-8
//   FIN <records written>
// A file that cannot be read gives one line "ERREUR <reason>" and exit code 1; "ERREUR pilote" says that
// neither driver is installed.
// Only the wide ("W") ODBC functions are called: Wine's odbc32 lacks the others.

// Before the ODBC headers, which need its types.
// clang-format off
#include <windows.h>
// clang-format on

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cwchar>
#include <fcntl.h>
#include <io.h>
#include <optional>
#include <sql.h>
#include <sqlext.h>
#include <string>
#include <vector>

namespace {

constexpr std::array<const wchar_t*, 4> kFields{L"Nom Complet", L"Score", L"Score1", L"Score2"};
// Jet 4.0 first, which every Windows has; then the Access Database Engine, which newer Office installs.
constexpr std::array<const wchar_t*, 2> kDrivers{L"Microsoft Access Driver (*.mdb)",
                                                 L"Microsoft Access Driver (*.mdb, *.accdb)"};

using Field = std::optional<std::string>;

int refuse(const char* reason)
{
    std::printf("ERREUR %s\n", reason);
    return 1;
}

SQLWCHAR* sql(const std::wstring& text)
{
    return reinterpret_cast<SQLWCHAR*>(const_cast<wchar_t*>(text.c_str()));
}

struct Handles {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    bool connected = false;
    ~Handles()
    {
        if (stmt != SQL_NULL_HSTMT) {
            SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        }
        if (connected) {
            SQLDisconnect(dbc);
        }
        if (dbc != SQL_NULL_HDBC) {
            SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        }
        if (env != SQL_NULL_HENV) {
            SQLFreeHandle(SQL_HANDLE_ENV, env);
        }
    }
};

// Whether the driver manager lists this driver among those installed.
bool installed(SQLHENV env, const wchar_t* driver)
{
    std::array<wchar_t, 256> name{};
    SQLSMALLINT length = 0;
    for (SQLUSMALLINT direction = SQL_FETCH_FIRST;
         SQL_SUCCEEDED(SQLDriversW(env, direction, reinterpret_cast<SQLWCHAR*>(name.data()),
                                   static_cast<SQLSMALLINT>(name.size()), &length, nullptr, 0, nullptr));
         direction = SQL_FETCH_NEXT) {
        if (_wcsicmp(name.data(), driver) == 0) {
            return true;
        }
    }
    return false;
}

// Why the driver refused, in its own words, for whoever reads the standard error.
void tellDiagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    std::array<wchar_t, 6> state{};
    std::array<wchar_t, 512> message{};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    for (SQLSMALLINT record = 1; SQL_SUCCEEDED(SQLGetDiagRecW(
             type, handle, record, reinterpret_cast<SQLWCHAR*>(state.data()), &native,
             reinterpret_cast<SQLWCHAR*>(message.data()), static_cast<SQLSMALLINT>(message.size()), &length));
         ++record) {
        std::fwprintf(stderr, L"%ls %ls\n", state.data(), message.data());
    }
}

// Connects to the file, named in each of its ways, with the first driver installed; nullptr, or the reason
// it could not.
const char* connect(Handles& handles, const std::vector<std::wstring>& files)
{
    bool driverFound = false;
    for (const wchar_t* driver : kDrivers) {
        if (!installed(handles.env, driver)) {
            continue;
        }
        driverFound = true;
        for (const std::wstring& file : files) {
            const std::wstring in = L"Driver={" + std::wstring(driver) + L"};DBQ=" + file + L";ReadOnly=1;";
            SQLSMALLINT outLength = 0;
            if (SQL_SUCCEEDED(SQLDriverConnectW(handles.dbc, nullptr, sql(in), SQL_NTS, nullptr, 0,
                                                &outLength, SQL_DRIVER_NOPROMPT))) {
                handles.connected = true;
                return nullptr;
            }
            tellDiagnostics(SQL_HANDLE_DBC, handles.dbc);
        }
    }
    return driverFound ? "ouverture" : "pilote";
}

// UTF-16 to UTF-8. A lone surrogate is kept as its own three bytes, which are not UTF-8: the program then
// counts the name unreadable instead of importing a name that was never there.
std::string utf8(const std::wstring& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        const int tail = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        constexpr std::array<unsigned char, 4> lead{0, 0xC0, 0xE0, 0xF0};
        out += static_cast<char>(lead[tail] | (c >> (6 * tail)));
        for (int k = tail - 1; k >= 0; --k) {
            out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
        }
    }
    return out;
}

// The name, asked for in wide characters and in as many pieces as it takes.
bool readText(SQLHSTMT stmt, SQLUSMALLINT column, Field& value)
{
    std::wstring text;
    std::array<wchar_t, 1024> piece{};
    for (;;) {
        SQLLEN length = 0;
        const SQLRETURN done = SQLGetData(stmt, column, SQL_C_WCHAR, piece.data(), sizeof piece, &length);
        if (done == SQL_NO_DATA) {
            break;
        }
        if (!SQL_SUCCEEDED(done)) {
            return false;
        }
        if (length == SQL_NULL_DATA) {
            value.reset();
            return true;
        }
        // A piece that did not hold the rest comes full, less its terminating null.
        const bool more = done == SQL_SUCCESS_WITH_INFO &&
                          (length == SQL_NO_TOTAL || length >= static_cast<SQLLEN>(sizeof piece));
        text.append(piece.data(),
                    more ? piece.size() - 1 : static_cast<std::size_t>(length) / sizeof(wchar_t));
        if (!more) {
            break;
        }
    }
    value = utf8(text);
    return true;
}

// A score, a signed 16-bit number, asked for as SQL_C_SHORT: Jet reads it signed; mdbtools' driver gives
// a wider type its 16 bits unsigned (65531 for -5) and refuses SQL_C_SSHORT for a negative number, but
// returns those same 16 bits for SQL_C_SHORT.
bool readScore(SQLHSTMT stmt, SQLUSMALLINT column, Field& value)
{
    SQLSMALLINT score = 0;
    SQLLEN length = 0;
    if (!SQL_SUCCEEDED(SQLGetData(stmt, column, SQL_C_SHORT, &score, 0, &length))) {
        return false;
    }
    value = length == SQL_NULL_DATA ? Field() : Field(std::to_string(score));
    return true;
}

// The number of rows, asked for as text: mdbtools' driver gives COUNT(*) as text whatever it is asked for.
bool readCount(SQLHSTMT stmt, unsigned long& rows)
{
    Field text;
    if (!readText(stmt, 1, text) || !text) {
        return false;
    }
    const char* end = text->data() + text->size();
    const auto [at, error] = std::from_chars(text->data(), end, rows);
    return error == std::errc() && at == end && !text->empty();
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage : palinor-access-reader FICHIER\n");
        return 2;
    }
    // Bytes as they are: no "\r\n" for "\n".
    _setmode(_fileno(stdout), _O_BINARY);
    std::wstring path = argv[1];
    std::replace(path.begin(), path.end(), L'/', L'\\');
    // The file as given, then by its bare name in its own folder, the only way some drivers find it
    // (mdbtools' under Wine, which looks from the folder the reader was started in).
    std::vector<std::wstring> files{path};
    const std::size_t slash = path.find_last_of(L'\\');
    if (slash != std::wstring::npos && SetCurrentDirectoryW(path.substr(0, slash + 1).c_str())) {
        files.push_back(path.substr(slash + 1));
    }

    Handles handles;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handles.env)) ||
        !SQL_SUCCEEDED(SQLSetEnvAttr(handles.env, SQL_ATTR_ODBC_VERSION,
                                     reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)) ||
        !SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, handles.env, &handles.dbc))) {
        return refuse("pilote");
    }
    if (const char* reason = connect(handles, files)) {
        return refuse(reason);
    }
    SQLHSTMT& stmt = handles.stmt;
    unsigned long rows = 0;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, handles.dbc, &stmt)) ||
        !SQL_SUCCEEDED(SQLExecDirectW(stmt, sql(L"SELECT COUNT(*) FROM nom"), SQL_NTS)) ||
        !SQL_SUCCEEDED(SQLFetch(stmt)) || !readCount(stmt, rows) ||
        !SQL_SUCCEEDED(SQLFreeStmt(stmt, SQL_CLOSE)) ||
        !SQL_SUCCEEDED(SQLExecDirectW(stmt, sql(L"SELECT * FROM nom"), SQL_NTS))) {
        tellDiagnostics(SQL_HANDLE_STMT, stmt);
        return refuse("table");
    }

    // Column numbers of the four fields, found by name without regard to case.
    SQLSMALLINT columns = 0;
    SQLNumResultCols(stmt, &columns);
    std::array<SQLUSMALLINT, kFields.size()> position{};
    for (SQLUSMALLINT c = 1; c <= columns; ++c) {
        std::array<wchar_t, 256> column{};
        SQLSMALLINT length = 0;
        SQLSMALLINT type = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        SQLDescribeColW(stmt, c, reinterpret_cast<SQLWCHAR*>(column.data()),
                        static_cast<SQLSMALLINT>(column.size()), &length, &type, &size, &digits, &nullable);
        for (std::size_t f = 0; f < kFields.size(); ++f) {
            if (_wcsicmp(column.data(), kFields[f]) == 0) {
                position[f] = c;
            }
        }
    }
    if (std::count(position.begin(), position.end(), 0) != 0) {
        return refuse("champs");
    }
    // Some drivers give a row's values only in column order.
    std::array<std::size_t, kFields.size()> order{0, 1, 2, 3};
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return position[a] < position[b]; });

    std::printf("PALINOR-ACCESS 1\nLIGNES %lu\n", rows);
    unsigned long written = 0;
    for (;;) {
        const SQLRETURN fetched = SQLFetch(stmt);
        if (fetched == SQL_NO_DATA) {
            break;
        }
        std::array<Field, kFields.size()> values;
        bool read = SQL_SUCCEEDED(fetched);
        for (std::size_t f : order) {
            read = read && (f == 0 ? readText : readScore)(stmt, position[f], values[f]);
        }
        if (!read) {
            tellDiagnostics(SQL_HANDLE_STMT, stmt);
            return refuse("ligne");
        }
        std::fputs("E\n", stdout);
        for (const Field& value : values) {
            if (!value) {
                std::fputs("N\n", stdout);
            } else {
                std::printf("T %lu\n", static_cast<unsigned long>(value->size()));
                std::fwrite(value->data(), 1, value->size(), stdout);
                std::fputc('\n', stdout);
            }
        }
        ++written;
    }
    std::printf("FIN %lu\n", written);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
