# Fails when a data file names a header of Qt Gui, Widgets or PrintSupport by
# its module path (<QtWidgets/QWidget>), which the include folders of the data
# libraries would otherwise let through.
file(STRINGS ${LISTA} _fuentes)
set(_malos)
foreach(_f IN LISTS _fuentes)
  file(STRINGS ${_f} _lineas REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](QtGui|QtWidgets|QtPrintSupport)/")
  if(_lineas)
    list(APPEND _malos "${_f}: ${_lineas}")
  endif()
endforeach()
if(_malos)
  list(JOIN _malos "\n" _texto)
  message(FATAL_ERROR "Archivos de datos que incluyen cabeceras de ventanas:\n${_texto}")
endif()
list(LENGTH _fuentes _n)
message(STATUS "${_n} archivos de datos sin cabeceras de ventanas")
