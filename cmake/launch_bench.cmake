# Click-to-process-start latency of a launch: prints its median, asserts nothing.
add_executable(launch_bench bench/launch_bench.cpp)
target_link_libraries(launch_bench PRIVATE zarvo_test_support)
add_dependencies(launch_bench marker)
