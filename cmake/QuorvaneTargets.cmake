# Each folder under src/ is one static library built from the sources it holds.
function(quorvane_library name)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(NOT sources)
        # A folder whose first sources are still to come.
        add_library(quorvane_${name} INTERFACE)
        target_include_directories(quorvane_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(quorvane_${name} INTERFACE ${ARG_DEPENDS})
        return()
    endif()
    add_library(quorvane_${name} STATIC ${sources} ${headers})
    target_include_directories(quorvane_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(quorvane_${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# One test executable per *_test.cpp file in the calling folder. GUI tests run under a
# QApplication (offscreen) and get the scripted dialogs; the others under a QCoreApplication.
function(quorvane_tests)
    cmake_parse_arguments(ARG "GUI" "" "DEPENDS" ${ARGN})
    if(ARG_GUI)
        set(support quorvane_testsupport_gui)
    else()
        set(support quorvane_testsupport)
    endif()
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    foreach(test_source ${tests})
        get_filename_component(test_name ${test_source} NAME_WE)
        set(target ${folder}_${test_name})
        add_executable(${target} ${test_source})
        target_link_libraries(${target} PRIVATE ${ARG_DEPENDS} ${support} GTest::gtest)
        add_test(NAME ${target} COMMAND ${target})
        set_tests_properties(${target} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime"
            TIMEOUT 300)
    endforeach()
endfunction()
