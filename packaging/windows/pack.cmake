# Puts the files of the Windows zip into a folder of their own and packs it:
#   cmake -DZIP_NAME=NAME -DOBJDUMP=OBJDUMP -DSTRIP=STRIP -DFILES_LIST=FILE -P pack.cmake
# FILES_LIST holds the files as a list of "folder-in-zip|file". The copies are stripped of their
# symbols and debugging information, which the compiler's own DLLs carry: most of their size.
# Every DLL the program and its DLLs import must be in the zip or be part of Windows: a zip that
# would not start on a machine without Qt is refused here, not found out by a user.
cmake_minimum_required(VERSION 3.21)
file(READ ${FILES_LIST} FILES)
file(REMOVE_RECURSE ${ZIP_NAME} ${ZIP_NAME}.zip)
set(shipped)
foreach(entry IN LISTS FILES)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 folder)
    list(GET parts 1 file)
    file(COPY ${file} DESTINATION ${ZIP_NAME}/${folder})
    get_filename_component(name ${file} NAME)
    string(TOLOWER "${name}" name)
    list(APPEND shipped ${name})
endforeach()

# The DLLs of Windows itself that Movra, Qt and the compiler's runtime use.
set(system_dlls advapi32.dll authz.dll comdlg32.dll d3d11.dll d3d9.dll dwmapi.dll dwrite.dll
    dxgi.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll mpr.dll netapi32.dll ole32.dll
    oleaut32.dll setupapi.dll shell32.dll shlwapi.dll user32.dll userenv.dll uxtheme.dll
    version.dll winmm.dll ws2_32.dll wtsapi32.dll shcore.dll comctl32.dll bcrypt.dll
    crypt32.dll rpcrt4.dll ntdll.dll winspool.drv)
file(GLOB_RECURSE binaries ${ZIP_NAME}/*.exe ${ZIP_NAME}/*.dll)
set(missing)
foreach(binary IN LISTS binaries)
    execute_process(COMMAND ${STRIP} --strip-unneeded ${binary} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${STRIP} cannot strip ${binary}")
    endif()
    execute_process(COMMAND ${OBJDUMP} -p ${binary} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${OBJDUMP} cannot read ${binary}")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
    foreach(import IN LISTS imports)
        string(REGEX REPLACE "DLL Name: " "" dll "${import}")
        string(TOLOWER "${dll}" dll)
        if(NOT dll IN_LIST shipped AND NOT dll IN_LIST system_dlls
                AND NOT dll MATCHES "^api-ms-win-")
            get_filename_component(from ${binary} NAME)
            list(APPEND missing "${dll} (needed by ${from})")
        endif()
    endforeach()
endforeach()
if(missing)
    list(REMOVE_DUPLICATES missing)
    list(JOIN missing "\n  " missing)
    message(FATAL_ERROR "The zip would lack DLLs that are not part of Windows:\n  ${missing}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP_NAME}.zip --format=zip ${ZIP_NAME}
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${ZIP_NAME}.zip could not be written")
endif()
