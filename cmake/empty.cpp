// Keeps a folder library valid while the folder holds only window units.
