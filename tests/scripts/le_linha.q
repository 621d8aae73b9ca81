* As formas de LE que leem uma linha: falada, editando, muda, com senha, e as que não esperam texto.
le v
escreve "[" v "]"
le v
escreve "[" v "]"
seja e "casa"
le edita e
escreve "[" e "]"
seja e "casa"
LE EDITA e
escreve "[" e "]"
le mudo m
escreve "[" m "]"
le senha s
escreve "[" s "]"
le
le console c
escreve "[" c "]"
le mouse x y
le rato tela $x $y
escreve x " " y " " $x " " $y
