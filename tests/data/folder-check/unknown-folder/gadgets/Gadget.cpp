// folder-check expects: line 1, gadgets is no folder of the rules
