# Under wine, tests that look at drives run in a prefix of their own with
# every kind of drive (wine_drives.sh), made once by the fixture test
# wine_test_drives (tests/platform) before any test that requires it.
set(WINE_TEST_DRIVES_DIR ${CMAKE_BINARY_DIR}/wine-test-drives)
set(WINE_TEST_DRIVES_PROPERTIES ENVIRONMENT WINEPREFIX=${WINE_TEST_DRIVES_DIR}/prefix
                                FIXTURES_REQUIRED wine_test_drives)
