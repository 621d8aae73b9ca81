* Ctrl+F4 e um algarismo: o som da velocidade, o algarismo falado e a fala
* recomeça nessa velocidade.
seja e "abc"
escreve "Velocidade: " &
le edita e
escreve "[" e "]"
