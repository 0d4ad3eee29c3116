#include "interface/jet/libmdb_library.h"

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <string>

#include "common/errors.h"

namespace sarnlink {
namespace {

[[noreturn]] void Missing(const std::string& name, const std::string& what) {
  throw Error(ErrorKind::kDatabase, "a Jet diary is read with mdbtools' " + name + ", which " +
                                        what + " (on Debian and Ubuntu it comes with the package " +
                                        "libmdb3)");
}

template <class Function>
void LookUp(void* library, const std::string& name, const char* symbol, Function& function) {
  void* found = ::dlsym(library, symbol);
  if (found == nullptr) {
    Missing(name, std::string("lacks the function ") + symbol);
  }
  function = reinterpret_cast<Function>(found);
}

LibmdbFunctions Load(const std::string& name) {
  // Never closed: libmdb's handles may live until the process ends.
  void* library = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* why = ::dlerror();
    Missing(name, std::string("cannot be loaded: ") + (why ? why : "no reason given"));
  }
  LibmdbFunctions f{};
  LookUp(library, name, "mdb_open", f.open);
  LookUp(library, name, "mdb_open_buffer", f.open_buffer);
  LookUp(library, name, "mdb_close", f.close);
  LookUp(library, name, "mdb_read_catalog", f.read_catalog);
  LookUp(library, name, "mdb_read_table", f.read_table);
  LookUp(library, name, "mdb_read_columns", f.read_columns);
  LookUp(library, name, "mdb_free_tabledef", f.free_tabledef);
  LookUp(library, name, "mdb_read_pg", f.read_pg);
  LookUp(library, name, "mdb_read_alt_pg", f.read_alt_pg);
  LookUp(library, name, "mdb_find_row", f.find_row);
  LookUp(library, name, "mdb_map_find_next", f.map_find_next);
  return f;
}

}  // namespace

const LibmdbFunctions& Libmdb(const char* name) {
  static std::mutex mutex;
  static std::map<std::string, LibmdbFunctions> loaded;
  const std::lock_guard<std::mutex> lock(mutex);
  const auto found = loaded.find(name);
  if (found != loaded.end()) {
    return found->second;
  }
  return loaded.emplace(name, Load(name)).first->second;
}

}  // namespace sarnlink
