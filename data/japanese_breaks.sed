# Japanese has no spaces between words, where groff breaks lines: a
# zero-width break point (\:) after each character that is not ASCII lets a
# line break anywhere in the text. Run in a UTF-8 locale.
s/\([^ -~]\)/\1\\:/g
