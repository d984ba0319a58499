# Applied to every target of the project through pexlora_warnings().
add_library(pexlora_warnings INTERFACE)
target_compile_options(pexlora_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # GCC 12 at -O3 reports false -Wrestrict positives inside std::string code
  # inlined from Boost.Multiprecision (GCC bug 105329).
  target_compile_options(pexlora_warnings INTERFACE -Wno-restrict)
endif()
if(PEXLORA_WERROR)
  target_compile_options(pexlora_warnings INTERFACE -Werror)
endif()
# Every user-visible text has to be built deliberately.
target_compile_definitions(pexlora_warnings INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
