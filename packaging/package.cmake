# The Debian package, made by scripts/package: `cpack -G DEB` in a Release build with prefix /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quorvel developers")
set(CPACK_PACKAGE_CONTACT "The Quorvel developers <autore@quorvel.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "teaching program: the set that comes before a given set")
# CPack puts the summary above this as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quorvel is a teaching program in Italian for young primary-school pupils.
Next to a set of identical pictures the pupil builds the set with one element
fewer, with five big keys that also work from the keyboard, and asks whether
the answer is right. The program counts right and wrong answers, times each
answer and offers help after a mistake.

Teachers can also print worksheets of four random exercises on the system's
printers, or save them as PDF files.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.quorvel.example)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows are designed in Arial: Liberation Sans has its metrics; DejaVu covers the rest.
# The class register is a SQLite file through Qt's plugin (not a linked library, so not found
# by shlibdeps); its days are the school's, Europe/Rome, from the zone database.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core, libqt6sql6-sqlite, tzdata")
# Printing goes through the print system; without it only "File PDF" is offered.
# Qt's own texts (dialog buttons) are Italian with its translations.
# The voice ("Voce") speaks through speech-dispatcher with espeak-ng's Italian.
# A school lab's PCs reach the register's server through Qt's PostgreSQL driver.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "cups, qt6-translations-l10n, speech-dispatcher, speech-dispatcher-espeak-ng, libqt6sql6-psql")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
