# The real announcement player. test_real_player is registered with the other
# suites and plays through whatever audio server the environment names (CI
# starts a private one with tests/audio/pulse-null.sh and exports
# PULSE_SERVER); without one it skips the cases that need sound, unless
# TARMALO_REQUIRE_AUDIO=1 makes that a failure.
if(TARGET test_real_player)
  set_tests_properties(test_real_player PROPERTIES LABELS "audio")

  # The same suite with no audio server at all: every sound must still end
  # as "not playing" at once, and nothing may hang.
  add_test(NAME test_real_player_no_audio COMMAND test_real_player)
  set_tests_properties(test_real_player_no_audio PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PULSE_SERVER=unix:/nonexistent/tarmalo-no-audio/native;TARMALO_REQUIRE_AUDIO=0;TARMALO_EXPECT_NO_AUDIO=1"
    LABELS "audio"
    TIMEOUT 120)
endif()
