# Cross toolchain for a 64-bit twin of the Windows code, for machines whose Wine runs only 64-bit PEs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
