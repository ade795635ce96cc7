# SPDX-License-Identifier: MIT
# Writes the user guide (Markdown, GUIDE) as a page of the site (OUT) through cmark (CMARK).
execute_process(COMMAND ${CMARK} --unsafe ${GUIDE} OUTPUT_VARIABLE body RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cmark could not read ${GUIDE}")
endif()
# Headings get ids from their words, as the desktop's help window gives them, so that the page
# can link a section.
string(REGEX MATCHALL "<h[23]>[^<]*</h[23]>" headings "${body}")
foreach(heading ${headings})
    string(REGEX REPLACE "<h([23])>([^<]*)</h[23]>" "\\2" words "${heading}")
    string(REGEX REPLACE "<h([23])>.*" "\\1" level "${heading}")
    string(TOLOWER "${words}" id)
    string(REGEX REPLACE "[^a-z0-9]+" "-" id "${id}")
    string(REGEX REPLACE "^-|-$" "" id "${id}")
    string(REPLACE "${heading}" "<h${level} id=\"${id}\">${words}</h${level}>" body "${body}")
endforeach()
file(WRITE ${OUT} "<!DOCTYPE html>
<html lang=\"en\">
<head>
<meta charset=\"utf-8\">
<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">
<title>Benthix user guide</title>
<style>
body { font-family: system-ui, sans-serif; max-width: 50rem; margin: 0 auto; padding: 1rem; line-height: 1.5; }
img { max-width: 100%; } pre, code { font-size: 0.9em; } pre { overflow-x: auto; background: #f4f4f4; padding: 0.5rem; }
table { border-collapse: collapse; } td, th { border: 1px solid #ccc; padding: 0.2rem 0.4rem; }
</style>
</head>
<body>
<p><a href=\"index.html\">Back to Benthix</a></p>
${body}
</body>
</html>
")
