# A Windows build made on Linux runs its tests, and any program of its own asked for at build
# time, under Wine: wine-run, configured here with the folders the programs find their DLLs in,
# is CMake's emulator for them (CTest then starts every test through it).
set(MOVRA_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix CACHE PATH
    "The Wine prefix the tests of a Windows build run in")

# The DLLs: those of the libraries in CMAKE_PREFIX_PATH (Qt, ICU, libarchive), and the compiler's
# own runtime.
set(wine_path)
foreach(prefix IN LISTS CMAKE_PREFIX_PATH)
    list(APPEND wine_path ${prefix}/bin)
endforeach()
foreach(runtime libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
        OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(runtime_folder ${runtime_path} DIRECTORY)
    list(APPEND wine_path ${runtime_folder})
endforeach()
list(REMOVE_DUPLICATES wine_path)
list(JOIN wine_path ";" MOVRA_WINE_PATH)
# Sets the QT_ variables of a test in Windows' own environment, where Wine does not.
add_executable(withenv ${CMAKE_CURRENT_LIST_DIR}/withenv.cpp)
set_target_properties(withenv PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
    CROSSCOMPILING_EMULATOR "")
target_link_options(withenv PRIVATE -static)
set(MOVRA_WITHENV ${CMAKE_BINARY_DIR}/withenv.exe)

configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
    WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
