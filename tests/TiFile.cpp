#include "TiFile.h"

// The TI file library's headers are C and say `restrict`, which C++ spells differently.
#define restrict __restrict__
extern "C" {
#include <tifiles.h>
}
#undef restrict

namespace korvalin::test {

TiFile readWithTiFiles(const std::filesystem::path& path) {
    static const int initialised = tifiles_library_init();
    (void)initialised;
    FileContent* content = tifiles_content_create_regular(CALC_TI83P);
    TiFile file;
    if (tifiles_file_read_regular(path.c_str(), content) == 0) {
        file.read = true;
        file.entries = content->num_entries;
        // The library only warns about a bad checksum; compare its own sum instead.
        file.checksumGood = content->checksum == content->stored_checksum;
        if (content->num_entries > 0) {
            const VarEntry* entry = content->entries[0];
            file.name = entry->name;
            file.type = entry->type;
            file.data.assign(reinterpret_cast<const char*>(entry->data), entry->size);
        }
    }
    tifiles_content_delete_regular(content);
    return file;
}

} // namespace korvalin::test
