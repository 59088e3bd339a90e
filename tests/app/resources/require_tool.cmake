# Stands in for a test whose tool is missing, so that the gap shows as a failure.
message(FATAL_ERROR
  "${TOOL} is missing: install the Debian package ${PACKAGE} (scripts/install-deps.sh lists it).")
