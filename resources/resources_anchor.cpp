// Anchors the compiled-in resources of the program.
