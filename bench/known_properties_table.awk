# Checks the shape of known_properties' table: its header, then one row for
# each click count 0..12 with nine columns, the bar and mass those clicks give
# and a verdict in each of the four divergence columns.
header { rows++ }
header && !($1 == rows - 1 && $2 == 10 + 500 * (rows - 1) && $3 == 1 + 50 * (rows - 1) && NF == 9) {
  bad = "row " rows ": " $0
}
header {
  for (c = 6; c <= 9; c++) if ($c != "holds" && $c !~ /^diverges@[0-9]+$/) bad = "row " rows ": " $0
}
$1 == "clicks" && $9 == "one_by_one" { header = 1 }
END {
  if (!header) bad = "no table header"
  else if (rows != 13) bad = rows " rows, not 13"
  if (bad != "") { print "known_properties: " bad; exit 1 }
}
