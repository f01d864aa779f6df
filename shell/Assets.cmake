# The auxiliary windows and their assets. The fanfare and the keyboard picture are made by the
# project's own generators (tools/) and compiled into the shell as Qt resources; the forms
# register them with Q_INIT_RESOURCE(DunmereAssets), which keeps the static library's resource
# object from being dropped by the linker.
if(TARGET dunmere_shell)
    set(assets ${CMAKE_CURRENT_BINARY_DIR}/assets)
    configure_file(DunmereAssets.qrc ${assets}/DunmereAssets.qrc COPYONLY)
    add_custom_command(OUTPUT ${assets}/FANFARE.wav
        COMMAND MakeFanfare ${assets}/FANFARE.wav
        DEPENDS MakeFanfare VERBATIM)
    add_custom_command(OUTPUT ${assets}/KEYBOARD.bmp
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                $<TARGET_FILE:MakeKeyboardPicture> ${assets}/KEYBOARD.bmp
        DEPENDS MakeKeyboardPicture VERBATIM)
    add_custom_command(OUTPUT ${assets}/qrc_DunmereAssets.cpp
        COMMAND Qt6::rcc --name DunmereAssets --output ${assets}/qrc_DunmereAssets.cpp
                ${assets}/DunmereAssets.qrc
        DEPENDS ${assets}/DunmereAssets.qrc ${assets}/FANFARE.wav ${assets}/KEYBOARD.bmp
        VERBATIM)
    add_custom_target(dunmere_assets DEPENDS ${assets}/qrc_DunmereAssets.cpp)
    add_dependencies(dunmere_shell dunmere_assets)
    set_source_files_properties(${assets}/qrc_DunmereAssets.cpp TARGET_DIRECTORY dunmere_shell
        PROPERTIES GENERATED TRUE SKIP_AUTOGEN TRUE)
    target_sources(dunmere_shell PRIVATE ${assets}/qrc_DunmereAssets.cpp)
endif()
