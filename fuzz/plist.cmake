# Reading hostile property lists, and decoding them as documents.
if(TARGET pexlora_plist AND TARGET pexlora_model)
  pexlora_fuzzer(fuzz_plist_reader fuzz_plist_reader.cpp pexlora_plist pexlora_model)
  set_target_properties(fuzz_plist_reader PROPERTIES AUTOMOC OFF)
endif()
