# Builds the Windows component as a Winelib DLL (an ELF object Wine loads as a Windows DLL),
# for the tests that reach a real SQLite diary under wine64.
set(CMAKE_C_COMPILER /usr/lib/wine/winegcc)
set(CMAKE_CXX_COMPILER /usr/lib/wine/wineg++)
set(SARNLINK_WINELIB ON CACHE BOOL "Winelib build of the Windows component" FORCE)
