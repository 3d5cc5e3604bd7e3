# Files of src/app.
