# Compiler settings for the project's own targets: strict warnings everywhere, and for the shipped
# code the options that keep the static C++ runtime's exception and RTTI machinery out of the .exe.
# Applied per target so that third-party code built alongside (GoogleTest) keeps its own settings.

function(orbelin_strict target)
    # Designated initialisers name only the fields that matter; the rest are zero by design.
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-missing-field-initializers
        # Builds in different folders must give the same bytes.
        -ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
    if(WIN32)
        target_compile_definitions(${target} PRIVATE
            UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
    endif()
endfunction()

function(orbelin_lean_code target)
    orbelin_strict(${target})
    target_compile_options(${target} PRIVATE
        -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-threadsafe-statics
        -ffunction-sections -fdata-sections
        # MinGW's i686 compiler keeps frame pointers unless told otherwise: 320 bytes of code here.
        -fomit-frame-pointer)
endfunction()
