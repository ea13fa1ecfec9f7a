# Writes the desktop entry with Exec set to `program`, quoted as the desktop entry format wants:
# inside the quotes \ " ` $ take a backslash, and the value's own escaping then doubles each \.
function(keyloft_write_desktop_entry program template out)
  set(quoted "${program}")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  string(REPLACE "\"" "\\\"" quoted "${quoted}")
  string(REPLACE "`" "\\`" quoted "${quoted}")
  string(REPLACE "$" "\\$" quoted "${quoted}")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  set(KEYLOFT_EXEC "\"${quoted}\"")
  configure_file("${template}" "${out}" @ONLY)
endfunction()
