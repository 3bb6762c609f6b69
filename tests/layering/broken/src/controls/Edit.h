// a folder whose CMakeLists.txt is missing
