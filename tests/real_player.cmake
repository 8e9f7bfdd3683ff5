# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The real announcement player. test_real_player is registered with the other
# suites and plays through whatever audio server the environment names (CI
# starts a private one with tests/audio/pulse-null.sh and exports
# PULSE_SERVER); without one it skips the cases that need sound, unless
# TARMALO_REQUIRE_AUDIO=1 makes that a failure.
if(TARGET test_real_player)
  set_tests_properties(test_real_player PROPERTIES LABELS "audio" COST 60)

  # The same suite with no audio server at all: every sound must still end
  # as "not playing" at once, and nothing may hang.
  add_test(NAME test_real_player_no_audio COMMAND test_real_player)
  set_tests_properties(test_real_player_no_audio PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PULSE_SERVER=unix:/nonexistent/tarmalo-no-audio/native;TARMALO_REQUIRE_AUDIO=0;TARMALO_EXPECT_NO_AUDIO=1"
    LABELS "audio"
    TIMEOUT 120)

  # A sound server that is ended and started again while the player is in
  # use; it runs on a server of its own so that no other suite loses sound.
  # Without pulseaudio installed it is skipped (77).
  add_test(NAME test_real_player_server_restart
    COMMAND sh -c "out=$(\"$0\" start) || exit 77; eval \"$out\"; \"$1\" soundComesBackAfterTheServerRestarts; s=$?; \"$0\" stop; exit $s"
            ${PROJECT_SOURCE_DIR}/tests/audio/pulse-null.sh $<TARGET_FILE:test_real_player>)
  set_tests_properties(test_real_player_server_restart PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TARMALO_SOURCE_DIR=${PROJECT_SOURCE_DIR};TARMALO_REQUIRE_AUDIO=1;TARMALO_RESTART_SERVER=1"
    SKIP_RETURN_CODE 77
    LABELS "audio"
    COST 13
    TIMEOUT 120)
endif()
