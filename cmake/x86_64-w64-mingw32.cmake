# Cross-compiles for 64-bit Windows with MinGW-w64 (posix threads) and runs the results under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ROTALINE_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ROTALINE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ROTALINE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ROTALINE_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ROTALINE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Fully static: the programs then need only the DLLs every Windows has. A missing DLL is easy to
# miss under Wine, where the program just ends with code 53 and prints nothing.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Every program run at build or test time (test discovery, ctest) goes through Wine, with a
# prefix of the build folder's own so that the tests never touch ~/.wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh
    ${CMAKE_BINARY_DIR}/wineprefix)
