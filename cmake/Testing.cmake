# mv_add_gtest(NAME target SOURCES ... LIBS ...): a GoogleTest executable registered with CTest.
# mv_add_qttest(NAME target SOURCES ... LIBS ...): a Qt Test executable run on the offscreen platform.
if(BUILD_TESTING)
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()

function(mv_add_gtest)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main mv_warnings)
    gtest_discover_tests(${ARG_NAME} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "MV_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
    target_compile_definitions(${ARG_NAME} PRIVATE MV_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()

function(mv_add_qttest)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} Qt6::Test mv_warnings)
    set_target_properties(${ARG_NAME} PROPERTIES AUTOMOC ON)
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
    set_tests_properties(${ARG_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;MV_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/tests/data;MV_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
