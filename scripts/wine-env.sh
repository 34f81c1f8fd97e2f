# Sourced by the Wine scripts: the settings every Wine process of the project runs with.
export WINEARCH=win32
export WINEDEBUG=-all
# No debugger on a fault (UnhandledExceptionFilter then returns EXCEPTION_EXECUTE_HANDLER), no
# Mono or Gecko installers, no desktop menu entries.
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml=;winemenubuilder.exe=d${CORVANTIS_EXTRA_DLLOVERRIDES:+;$CORVANTIS_EXTRA_DLLOVERRIDES}"
