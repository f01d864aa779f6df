# The generators of the viewer's embedded assets: the about box's fanfare and the keyboard
# picture. They run at build time (see app/Assets.cmake) and are not installed with the viewer.
add_executable(MakeFanfare MakeFanfare.cpp)
set_target_properties(MakeFanfare PROPERTIES AUTOMOC OFF AUTORCC OFF
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
if(TARGET dunmere_shell)
    add_executable(MakeKeyboardPicture MakeKeyboardPicture.cpp)
    target_link_libraries(MakeKeyboardPicture PRIVATE Qt6::Gui)
    set_target_properties(MakeKeyboardPicture PROPERTIES
                          RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
endif()
