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
    # The application icon's sizes, drawn from its one SVG: the window icon embeds them and the
    # install puts them into the icon theme (packaging/).
    find_program(RSVG_CONVERT rsvg-convert REQUIRED)
    set(DUNMERE_ICON_SVG ${PROJECT_SOURCE_DIR}/packaging/org.dunmere.DunmereGL.svg)
    set(DUNMERE_ICON_SIZES 16 24 32 48 64 128 256)
    set(DUNMERE_ICON_FOLDER ${assets}/icons)
    set(icons)
    foreach(size ${DUNMERE_ICON_SIZES})
        add_custom_command(OUTPUT ${DUNMERE_ICON_FOLDER}/${size}.png
            COMMAND ${CMAKE_COMMAND} -E make_directory ${DUNMERE_ICON_FOLDER}
            COMMAND ${RSVG_CONVERT} --width ${size} --height ${size}
                    --output ${DUNMERE_ICON_FOLDER}/${size}.png ${DUNMERE_ICON_SVG}
            DEPENDS ${DUNMERE_ICON_SVG} VERBATIM)
        list(APPEND icons ${DUNMERE_ICON_FOLDER}/${size}.png)
    endforeach()
    set(DUNMERE_ICON_PNGS ${icons} PARENT_SCOPE)
    add_custom_command(OUTPUT ${assets}/qrc_DunmereAssets.cpp
        COMMAND Qt6::rcc --name DunmereAssets --output ${assets}/qrc_DunmereAssets.cpp
                ${assets}/DunmereAssets.qrc
        DEPENDS ${assets}/DunmereAssets.qrc ${assets}/FANFARE.wav ${assets}/KEYBOARD.bmp ${icons}
        VERBATIM)
    add_custom_target(dunmere_assets DEPENDS ${assets}/qrc_DunmereAssets.cpp)
    add_dependencies(dunmere_shell dunmere_assets)
    set_source_files_properties(${assets}/qrc_DunmereAssets.cpp TARGET_DIRECTORY dunmere_shell
        PROPERTIES GENERATED TRUE SKIP_AUTOGEN TRUE)
    target_sources(dunmere_shell PRIVATE ${assets}/qrc_DunmereAssets.cpp)
endif()
