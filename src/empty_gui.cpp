// The GUI library gets its first sources from the widget folders.
