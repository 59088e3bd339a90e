// palinor-access-reader FILE: writes the table `nom` of an Access 2000 (Jet 4) score file to standard output.
//
// Output, in bytes, each line ending with '\n':
//   PALINOR-ACCESS 1
//   LIGNES <rows the table says it holds>
//   then per record a line "E" and its four fields in the order Nom Complet, Score, Score1, Score2,
//   each either "N" (Null) or "T <length>" followed by a line of exactly <length> bytes of UTF-8
//   FIN <records written>
// A file that cannot be read gives one line "ERREUR <reason>" and exit code 1.

// Before the library's header, which would otherwise include it inside its extern "C" block.
#include <array>
#include <cstdio>
#include <cstring>
#include <glib.h>
#include <mdbtools.h>
#include <strings.h>
#include <vector>

namespace {

constexpr std::array<const char*, 4> kFields{"Nom Complet", "Score", "Score1", "Score2"};

int refuse(const char* reason)
{
    std::printf("ERREUR %s\n", reason);
    return 1;
}

struct Handle {
    MdbHandle* mdb = nullptr;
    MdbTableDef* table = nullptr;
    ~Handle()
    {
        if (table != nullptr) {
            mdb_free_tabledef(table);
        }
        if (mdb != nullptr) {
            mdb_close(mdb);
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage : palinor-access-reader FICHIER\n");
        return 2;
    }
    Handle file;
    file.mdb = mdb_open(argv[1], MDB_NOFLAGS);
    if (file.mdb == nullptr) {
        return refuse("ouverture");
    }
    if (file.mdb->f->jet_version != MDB_VER_JET4) {
        return refuse("version");
    }
    if (mdb_read_catalog(file.mdb, MDB_TABLE) == nullptr) {
        return refuse("catalogue");
    }
    char name[] = "nom";
    file.table = mdb_read_table_by_name(file.mdb, name, MDB_TABLE);
    if (file.table == nullptr || mdb_read_columns(file.table) == nullptr) {
        return refuse("table");
    }
    MdbTableDef* table = file.table;

    // Column positions of the four fields, found by name without regard to case.
    std::array<int, kFields.size()> position{};
    for (std::size_t f = 0; f < kFields.size(); ++f) {
        position[f] = -1;
        for (unsigned int c = 0; c < table->num_cols; ++c) {
            const auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
            if (strcasecmp(column->name, kFields[f]) == 0) {
                position[f] = static_cast<int>(c);
            }
        }
        if (position[f] < 0) {
            return refuse("champs");
        }
    }

    std::vector<std::vector<char>> values(kFields.size(), std::vector<char>(MDB_BIND_SIZE));
    std::array<int, kFields.size()> lengths{};
    for (std::size_t f = 0; f < kFields.size(); ++f) {
        mdb_bind_column(table, position[f] + 1, values[f].data(), &lengths[f]);
    }
    std::vector<MdbField> fields(table->num_cols);
    mdb_rewind_table(table);

    std::printf("PALINOR-ACCESS 1\nLIGNES %u\n", table->num_rows);
    unsigned long written = 0;
    while (mdb_fetch_row(table) != 0) {
        // A bound Null and a bound empty text both have length 0: the row itself tells them apart.
        int start = 0;
        std::size_t size = 0;
        if (mdb_find_row(file.mdb, static_cast<int>(table->cur_row) - 1, &start, &size) != 0 ||
            mdb_crack_row(table, start, size, fields.data()) != static_cast<int>(table->num_cols)) {
            return refuse("ligne");
        }
        std::fputs("E\n", stdout);
        for (std::size_t f = 0; f < kFields.size(); ++f) {
            if (fields[static_cast<std::size_t>(position[f])].is_null != 0) {
                std::fputs("N\n", stdout);
            } else {
                std::printf("T %d\n", lengths[f]);
                std::fwrite(values[f].data(), 1, static_cast<std::size_t>(lengths[f]), stdout);
                std::fputc('\n', stdout);
            }
        }
        ++written;
    }
    std::printf("FIN %lu\n", written);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
