// mdbtools' libmdb, loaded with dlopen the first time a Jet file is opened, so that the commands
// that never read one start without it (and without glib, which it brings). Only the functions
// the Jet reader calls are looked up; its types and constants come from mdbtools.h.
#pragma once

#include <sys/types.h>

#include <cstddef>

// mdbtools.h includes glib.h inside extern "C", which glib's C++ parts refuse: glib first.
#include <glib.h>
#include <mdbtools.h>

namespace sarnlink {

// The shared object the package's libmdb3 installs.
inline constexpr const char* kLibmdbName = "libmdb.so.3";

// The libmdb functions the Jet reader calls.
struct LibmdbFunctions {
  MdbHandle* (*open)(const char* filename, MdbFileFlags flags);
  MdbHandle* (*open_buffer)(void* buffer, std::size_t length, MdbFileFlags flags);
  void (*close)(MdbHandle* mdb);
  GPtrArray* (*read_catalog)(MdbHandle* mdb, int object_type);
  MdbTableDef* (*read_table)(MdbCatalogEntry* entry);
  GPtrArray* (*read_columns)(MdbTableDef* table);
  void (*free_tabledef)(MdbTableDef* table);
  ssize_t (*read_pg)(MdbHandle* mdb, unsigned long page);
  ssize_t (*read_alt_pg)(MdbHandle* mdb, unsigned long page);
  int (*find_row)(MdbHandle* mdb, int row, int* start, std::size_t* length);
  gint32 (*map_find_next)(MdbHandle* mdb, unsigned char* map, unsigned int map_size,
                          guint32 start_page);
};

// The functions of libmdb, loaded once for the process and kept. When the library or one of its
// functions cannot be had, throws a database error naming the library, what the system said and
// the package that brings it; `name` is for tests, which ask for a library that does not exist.
const LibmdbFunctions& Libmdb(const char* name = kLibmdbName);

}  // namespace sarnlink
