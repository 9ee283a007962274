# Writes the service worker from TEMPLATE into SITE: the site's FILES as
# the list it keeps (FILES: names separated by commas), and a digest of
# their contents as its version.
string(REPLACE "," ";" FILES "${FILES}")
set(digests "")
set(quoted "'./'")
foreach(name ${FILES})
  file(SHA256 ${SITE}/${name} digest)
  string(APPEND digests "${name} ${digest}\n")
  string(APPEND quoted ", '${name}'")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING ${version} 0 16 FORTELLE_SITE_VERSION)
set(FORTELLE_SITE_FILES "${quoted}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
