# SPDX-License-Identifier: MIT
# Texts that begin with the letters of a plot's first instructions (IN, PS,
# BP, DF, ESC.), sourced by the CUPS tests: zelvo's MIME rules must leave
# every one text/plain, and lp must print each as text.
plot_like_texts=(
  'PS: please call me back'
  'BPM results for the week'
  'IN the beginning'
  'DF; no defaults here'
  'Insert the disk'
  'PSA: the office is closed'
  'BP oil prices'
  'INFO: all done'
  'INFO-2024: annual report'
  'INPUT AND OUTPUT'
  'INSERT COIN'
  'IN THE END'
  'IN 2024 WE GREW'
  'BP INCREASED'
  'PS1=$ and PS2=>'
  'PS 2 and PS 3'
  $'PS 2\nThe second postscript'
  $'PS 11440 7700\nthat was the size'
  'PS 1200 800 pixels'
  'PS4, the console'
  'PS10 years on'
  'DF;DO NOT EDIT'
  'ESC.Y is a plotter command'
)
