# project_test(<name> SOURCES <files...> LIBS <targets...> [TIMEOUT <s>] [GTEST] [SERIAL])
#
# One test executable, registered with ctest under the offscreen platform. GTEST tests get the
# shared main from tests/support (QApplication + offscreen); QtTest tests bring QTEST_MAIN.
function(project_test name)
    cmake_parse_arguments(T "GTEST;SERIAL" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} testsupport)
    if(T_GTEST)
        target_link_libraries(${name} PRIVATE testsupport_gtest_main GTest::gtest)
    else()
        target_link_libraries(${name} PRIVATE Qt6::Test)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TOVALDE_BUILD_DIR=${CMAKE_BINARY_DIR}"
        TIMEOUT ${T_TIMEOUT})
    if(T_SERIAL)
        set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
    endif()
    if(T_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()
