# Renders the user guide (Markdown) into one HTML page with its stylesheet:
#   cmake -DCMARK=<cmark-gfm> -DIN=<guide.md> -DTEMPLATE=<page.html.in> -DCSS=<style.css> -DOUT=<index.html> -P render.cmake
execute_process(COMMAND "${CMARK}" --extension table --extension autolink --to html "${IN}"
                OUTPUT_VARIABLE body RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmark-gfm could not render ${IN}")
endif()
file(READ "${TEMPLATE}" page)
file(READ "${CSS}" css)
string(REPLACE "@STYLE@" "${css}" page "${page}")
string(REPLACE "@BODY@" "${body}" page "${page}")
file(WRITE "${OUT}.part" "${page}")
file(RENAME "${OUT}.part" "${OUT}")
