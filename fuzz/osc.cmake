# Decoding hostile bytes: OSC packets, and SLIP streams cut into frames.
if(TARGET pexlora_osc)
  pexlora_fuzzer(fuzz_osc_packet fuzz_osc_packet.cpp pexlora_osc)
  pexlora_fuzzer(fuzz_slip_stream fuzz_slip_stream.cpp pexlora_osc)
  set_target_properties(fuzz_osc_packet fuzz_slip_stream PROPERTIES AUTOMOC OFF)
endif()
