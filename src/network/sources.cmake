# Files of src/network.
